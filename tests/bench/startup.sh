#!/bin/bash
# Desktop start-up time: starts the desktop under Xvfb on a generated project of 32,767 records (the
# Iowa sample's fields over and over) and measures, five times, the time from the start of the
# process to a shown window titled with the project's name. Prints each run and the median.
# Usage: startup.sh BUILD_DIR   (BUILD_DIR/bin holds tesserel, tesserel-cli and the sample)
set -u
bin="$1/bin"
runs=5
goal_ms=200
for tool in Xvfb xwininfo python3; do
  command -v "$tool" > /dev/null || { echo "Start-up benchmark skipped: $tool is not installed."; exit 0; }
done
[ -x "$bin/tesserel" ] || { echo "Start-up benchmark skipped: $bin/tesserel is not built."; exit 0; }

work=$(mktemp -d /tmp/tesserel-startup.XXXXXX)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2> /dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The project: the sample exported as JSON, its records repeated under new IDs and names.
project="$work/startup.tsj"
"$bin/tesserel-cli" export json "$bin/samples/iowa-2024.tsj" "$work/sample.json" > /dev/null || exit 1
python3 - "$work/sample.json" "$work/big.json" << 'EOF' || exit 1
import json, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
sample = doc["records"]
records = []
for i in range(32767):
    r = dict(sample[i % len(sample)])
    r["Field_ID"] = i + 1
    r["Field_Name"] = "Field %d" % (i + 1)
    r["SubFld_Nam"] = ""
    records.append(r)
doc["records"] = records
json.dump(doc, open(sys.argv[2], "w", encoding="utf-8"))
EOF
"$bin/tesserel-cli" import json "$work/big.json" "$project" > /dev/null || exit 1

# A display of its own, and settings that start empty.
display=""
for n in $(seq 90 130); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "Start-up benchmark skipped: no free X display."; exit 0; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
for _ in $(seq 100); do xwininfo -root > /dev/null 2>&1 && break; sleep 0.05; done

# The first viewable window whose title names the project.
titled_window_shown() {
  local id
  for id in $(xwininfo -root -tree 2> /dev/null | grep -F '"' | grep -F 'startup.tsj' | awk '{print $1}'); do
    xwininfo -id "$id" 2> /dev/null | grep -q 'Map State: IsViewable' && return 0
  done
  return 1
}

times=()
for run in $(seq "$runs"); do
  start=$(date +%s%N)
  "$bin/tesserel" "$project" > /dev/null 2>&1 &
  app_pid=$!
  shown=""
  while kill -0 "$app_pid" 2> /dev/null; do
    if titled_window_shown; then shown=$(date +%s%N); break; fi
    now=$(date +%s%N)
    [ $(((now - start) / 1000000)) -gt 30000 ] && break
  done
  kill "$app_pid" 2> /dev/null
  wait "$app_pid" 2> /dev/null
  app_pid=""
  [ -n "$shown" ] || { echo "Start-up benchmark: run $run showed no titled window."; exit 1; }
  ms=$(((shown - start) / 1000000))
  times+=("$ms")
  echo "desktop start-up run $run: $ms ms"
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
verdict="NOT MET"
[ "$median" -lt "$goal_ms" ] && verdict="met"
printf '%-70s %-34s %-14s %s\n' "desktop start-up to a titled window (32,767 records)" \
  "$median ms (median of $runs)" "under $goal_ms ms" "$verdict"
