# Tesserel: the two commands for a fresh Debian machine are `make run` and `make test`.

# Debian packages the project builds and tests with, one per line.
PACKAGES := \
	build-essential \
	cmake \
	ninja-build \
	pkg-config \
	libgtest-dev \
	libgmock-dev \
	libbenchmark-dev \
	libcli11-dev \
	nlohmann-json3-dev \
	qt6-base-dev \
	xvfb \
	xauth \
	fonts-dejavu-core \
	fonts-liberation2 \
	clang \
	libclang-rt-14-dev \
	libmuparser-dev \
	libcurl4-openssl-dev \
	ca-certificates \
	libpugixml-dev \
	libsqlite3-dev \
	libxlsxwriter-dev

# Debian packages only the tests need: real clients that read the files the program writes, and the
# session bus the automation and planner tests run on.
TEST_PACKAGES := \
	libreoffice-writer-nogui \
	poppler-utils \
	libcpp-httplib-dev \
	gdal-bin \
	python3-dbfread \
	sqlite3 \
	python3-openpyxl \
	dbus \
	libglib2.0-bin

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS ?= $(shell nproc)

BUILD_DIR := build/default
TEST_DIR := build/asan
BENCH_DIR := build/release
PACKAGE_DIR := build/package
FUZZ_DIR := build/fuzz

CMAKE_COMMON := -G Ninja -DCMAKE_CXX_COMPILER=g++

.PHONY: deps test-deps build test bench run screenshots fuzz package clean

# Installs only the packages of $(1) that are missing; runs `apt-get update` once, and only when
# something must be installed.
define install_missing
	@missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' "$$p" 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

test-deps:
	$(call install_missing,$(PACKAGES) $(TEST_PACKAGES))

# The programs and their data files only: the tests are built by `make test`, in their own folder.
build: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSEREL_TESTS=OFF
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: test-deps
	cmake -S . -B $(TEST_DIR) $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Debug -DTESSEREL_SANITIZE=ON
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_DIR) $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Release -DTESSEREL_BENCH=ON -DTESSEREL_TESTS=OFF
	cmake --build $(BENCH_DIR) -j $(JOBS)
	@if [ -x $(BENCH_DIR)/bench/tesserel_bench ]; then $(BENCH_DIR)/bench/tesserel_bench; else echo "No benchmarks built."; fi
	@bash tests/bench/startup.sh $(BENCH_DIR)

# Runs every libFuzzer target for FUZZ_SECONDS each (clang build with ASan and UBSan).
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTESSEREL_FUZZ=ON -DTESSEREL_TESTS=OFF -DTESSEREL_GUI=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target eval_fuzz sdm_fuzz rtf_fuzz dbf_fuzz
	mkdir -p $(FUZZ_DIR)/corpus/eval $(FUZZ_DIR)/corpus/sdm $(FUZZ_DIR)/corpus/rtf $(FUZZ_DIR)/corpus/dbf
	$(FUZZ_DIR)/fuzz/eval_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4200 -timeout=10 \
	  -dict=tests/fuzz/eval.dict -artifact_prefix=$(FUZZ_DIR)/ $(FUZZ_DIR)/corpus/eval tests/fuzz/corpus/eval
	$(FUZZ_DIR)/fuzz/sdm_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=16384 -timeout=10 \
	  -dict=tests/fuzz/sdm.dict -artifact_prefix=$(FUZZ_DIR)/ $(FUZZ_DIR)/corpus/sdm tests/fuzz/corpus/sdm
	QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions=tests/fuzz/lsan.supp $(FUZZ_DIR)/fuzz/rtf_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=8192 -timeout=10 \
	  -dict=tests/fuzz/rtf.dict -artifact_prefix=$(FUZZ_DIR)/rtf- $(FUZZ_DIR)/corpus/rtf tests/fuzz/corpus/rtf
	$(FUZZ_DIR)/fuzz/dbf_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=8192 -timeout=10 \
	  -dict=tests/fuzz/dbf.dict -artifact_prefix=$(FUZZ_DIR)/ $(FUZZ_DIR)/corpus/dbf tests/fuzz/corpus/dbf

# The Debian package of a Release build, $(PACKAGE_DIR)/tesserel_VERSION_ARCH.deb, checked by the
# installation test: its file list, its dependencies, and its programs run from the unpacked files.
package: deps
	cmake -S . -B $(PACKAGE_DIR) $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Release -DTESSEREL_TESTS=OFF
	cmake --build $(PACKAGE_DIR) -j $(JOBS)
	rm -f $(PACKAGE_DIR)/tesserel_*.deb
	cd $(PACKAGE_DIR) && cpack -G DEB
	QT_QPA_PLATFORM=offscreen bash tests/install/TsInstallTest.sh $(PACKAGE_DIR) $(PACKAGE_DIR)/tesserel_*.deb

run: build
	$(BUILD_DIR)/bin/tesserel $(BUILD_DIR)/bin/samples/iowa-2024.tsj

# One picture per record page of the Iowa sample project, the report dialogs with a previewed
# worksheet and ranked summary, and the Crops page with the window at 1024x600 and 3840x2160, in
# $(BUILD_DIR)/screenshots.
screenshots: build
	xvfb-run -a -s "-screen 0 3840x2160x24" $(BUILD_DIR)/bin/tesserel-screenshots \
	  $(BUILD_DIR)/bin/samples/iowa-2024.tsj $(BUILD_DIR)/screenshots

clean:
	rm -rf build
