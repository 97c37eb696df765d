#!/bin/bash
# An installation of the program, checked file by file, and its programs run where they were
# installed: they must find their data files there.
#   TsInstallTest.sh BUILD_DIR            installs that build into a scratch prefix (cmake --install)
#   TsInstallTest.sh BUILD_DIR PACKAGE    unpacks the Debian package into a scratch root instead
# The installed program is started by a private session bus through the installed service file.
set -u
build=$(realpath "$1")
package=${2:-}
source "$(dirname "${BASH_SOURCE[0]}")/../support/ScriptCheck.sh"

# Where the files land ($top) and the prefix they name themselves by ($named); $listed holds the
# full path of every file installed, as it would be on the target system.
if [ -n "$package" ]; then
  named=/usr
  top=$work/root/usr
  dpkg-deb -x "$package" "$work/root" || { echo "FAIL: dpkg-deb -x $package" >&2; exit 1; }
  expect "package name" "tesserel" "$(dpkg-deb -f "$package" Package)"
  depends=$(dpkg-deb -f "$package" Depends)
  names=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
  for lib in libqt6widgets6 libqt6printsupport6 libqt6dbus6 libqt6gui6 libqt6core6 libcurl4 libpugixml1v5 \
    libsqlite3-0 libstdc++6 libc6 fonts-liberation2; do
    grep -qxF "$lib" <<<"$names" || fail "the package does not depend on $lib: $depends"
  done
  listed=$(dpkg-deb -c "$package" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' | sort)
  # Every library the programs load comes with a package the package depends on.
  for program in "$top"/bin/*; do
    for lib in $(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
      case $lib in libasan.* | libubsan.*) continue ;; esac  # a sanitizer build's
      owners=$(dpkg -S "*/$lib" 2>/dev/null | cut -d: -f1 | sort -u)
      [ -n "$(grep -xF -f <(echo "$owners") <<<"$names")" ] ||
        fail "$(basename "$program") loads $lib of $(echo $owners), which the package does not depend on"
    done
  done
else
  named=$work/usr
  top=$named
  cmake --install "$build" --prefix "$top" >"$work.log" 2>&1 ||
    { cat "$work.log" >&2; rm -f "$work.log"; echo "FAIL: cmake --install" >&2; exit 1; }
  rm -f "$work.log"
  listed=$(find "$work" -type f | sort)
fi

# Every file an installation needs, each in its usual place.
for file in bin/tesserel bin/tesserel-cli share/tesserel/usa.mcn share/tesserel/stnd-usa.mdf \
  share/tesserel/ia.qri share/tesserel/wi.qri share/tesserel/help/index.html share/tesserel/help/state-notes.html \
  share/tesserel/help/help.css share/tesserel/samples/iowa-2024.tsj share/tesserel/samples/multi-state-2024.tsj \
  share/tesserel/BlankForm.pdf share/tesserel/SampleForm.pdf share/applications/tesserel.desktop \
  share/icons/hicolor/scalable/apps/tesserel.svg share/mime/packages/tesserel.xml \
  share/dbus-1/services/Tesserel.Application.service; do
  [ -f "$top/$file" ] && grep -qx "$named/$file" <<<"$listed" || fail "$named/$file is not installed"
done
# Nothing else among the programs: the build's tools stay in the build.
expect "programs" "tesserel tesserel-cli" "$(ls "$top/bin" | tr '\n' ' ' | sed 's/ $//')"
for f in "$top"/share/tesserel/* "$top"/share/tesserel/*/*; do
  [ -f "$f" ] && [ -x "$f" ] && fail "$f is executable"
done
outside=$(grep -v "^$named/" <<<"$listed" | head -3)
[ -z "$outside" ] || fail "files outside $named: $outside"

# The launcher, the project file type and the bus service name the installed program.
desktop=$top/share/applications/tesserel.desktop
grep -qx "Exec=$named/bin/tesserel %f" "$desktop" || fail "desktop entry: $(grep Exec "$desktop")"
grep -qx "MimeType=application/x-tesserel-project;" "$desktop" || fail "the desktop entry declares no MimeType"
grep -qx "Icon=tesserel" "$desktop" || fail "the desktop entry names no icon"
command -v desktop-file-validate >/dev/null && { desktop-file-validate "$desktop" || fail "desktop-file-validate"; }
service=$top/share/dbus-1/services/Tesserel.Application.service
expect "service file" "$(printf '[D-BUS Service]\nName=Tesserel.Application\nExec=%s/bin/tesserel -embedding' "$named")" \
  "$(cat "$service")"
if command -v update-mime-database >/dev/null; then
  mkdir -p "$work/mime/packages"
  cp "$top/share/mime/packages/tesserel.xml" "$work/mime/packages/"
  update-mime-database "$work/mime" 2>/dev/null || fail "update-mime-database"
  grep -q "application/x-tesserel-project:\*\.tsj" "$work/mime/globs2" || fail "no glob *.tsj: $(cat "$work/mime/globs2")"
else
  grep -q '<mime-type type="application/x-tesserel-project">' "$top/share/mime/packages/tesserel.xml" &&
    grep -q '<glob pattern="\*\.tsj"/>' "$top/share/mime/packages/tesserel.xml" || fail "the MIME type lacks *.tsj"
fi

# The installed tool, run from elsewhere, finds the reference files and the state files.
sample=$top/share/tesserel/samples/iowa-2024.tsj
info=$(cd / && "$top/bin/tesserel-cli" info "$sample" 2>&1)
grep -qx "Records=12" <<<"$info" || fail "tesserel-cli info: $info"
recs=$(cd / && "$top/bin/tesserel-cli" recs "$sample" 1 2>&1 | head -1)
expect "state file used" "State file: $top/share/tesserel/ia.qri" "$recs"

# The installed program, started by the bus through the installed service file for a client,
# gets past its start-up (it ends at once when its required files are missing) and serves.
if command -v dbus-run-session >/dev/null && command -v gdbus >/dev/null; then
  mkdir -p "$work/services"
  sed "s|^Exec=$named/|Exec=$top/|" "$service" >"$work/services/Tesserel.Application.service"
  cat >"$work/session.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <servicedir>$work/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
  served=$(dbus-run-session --config-file="$work/session.conf" -- bash -c '
    path=$(gdbus call --session --timeout 60 --dest Tesserel.Application --object-path /Application \
      --method org.freedesktop.DBus.Properties.Get Tesserel.IApplication Path 2>&1)
    echo "$path"
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
      --method org.freedesktop.DBus.GetConnectionUnixProcessID Tesserel.Application 2>/dev/null |
      sed -n "s/^(uint32 \([0-9]*\),)$/\1/p" | xargs -r kill' 2>"$work/bus.log" | head -1)
  expect "installed program serving" "(<'$top/bin'>,)" "$served"
  [ "$served" == "(<'$top/bin'>,)" ] || cat "$work/bus.log" >&2
else
  echo "dbus-run-session or gdbus not found: the installed program's start is not checked"
fi

[ "$failures" -eq 0 ] && echo "All installation checks passed ($([ -n "$package" ] && echo "$package" || echo "$named"))."
exit $((failures > 0))
