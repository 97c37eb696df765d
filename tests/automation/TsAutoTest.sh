#!/bin/bash
# The automation service driven by the real client gdbus on the private session bus that
# dbus-run-session gives this script: a start by the bus for a client, every property, the window
# state and visibility, the end of a hidden program nobody uses, a normal start, and the service
# file switches. A second program finding the name taken is tested in-process. Arguments: the program and the folder of the sample projects.
set -u
program=$(realpath "$1")
samples=$2
folder=$(dirname "$program")
source "$(dirname "${BASH_SOURCE[0]}")/../support/ScriptCheck.sh"
app() {  # Properties method and arguments on /Application
  gdbus call --session --timeout 120 --dest Tesserel.Application --object-path /Application \
    --method "org.freedesktop.DBus.Properties.$1" Tesserel.IApplication "${@:2}" 2>&1 | head -1
}
bus() {
  gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method "org.freedesktop.DBus.$1" "${@:2}" 2>&1
}
owner() { bus GetConnectionUnixProcessID Tesserel.Application | sed -n 's/^(uint32 \([0-9]*\),)$/\1/p'; }
ended() {  # pid, seconds
  for _ in $(seq 1 "$2"); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 1
  done
  return 1
}

# Started by the bus for a client: hidden, not under the user's control.
all=$(app GetAll)
pid=$(owner)
[ -n "$pid" ] || { echo "FAIL: the bus did not start the program: $all" >&2; exit 1; }
started+=("$pid")
version=$(sed -n "s/.*'Version': <'\([0-9]*\.[0-9]*\)'>.*/\1/p" <<<"$all")
expect "application" "({'Name': <'Tesserel Recordkeeper'>, 'Path': <'$folder'>, 'UserControl': <false>, \
'Version': <'$version'>, 'VersionInfo': <objectpath '/Application/VersionInfo'>, 'Visible': <false>, \
'WindowState': <0>},)" "$all"
info=$(gdbus call --session --dest Tesserel.Application --object-path /Application/VersionInfo \
  --method org.freedesktop.DBus.Properties.GetAll Tesserel.IVersionInfo 2>&1)
expect "version information" "({'Comments': <''>, 'CompanyName': <'Tesserel Project'>, \
'FileDescription': <'Tesserel Recordkeeper - field crop records'>, 'FileVersion': <'$version.0'>, \
'InternalName': <'Tesserel'>, 'LegalCopyright': <'Copyright (C) 2026 Tesserel Project'>, 'LegalTrademarks': <''>, \
'OriginalFilename': <'tesserel'>, 'ProductName': <'Tesserel Recordkeeper'>, 'ProductVersion': <'$version'>, \
'Programmer': <''>},)" "$info"

# Introspection shows the interface with its properties, and the version information below.
introspection=$(gdbus introspect --session --dest Tesserel.Application --object-path /Application 2>&1)
for line in "interface Tesserel.IApplication {" "readonly s Name = 'Tesserel Recordkeeper';" \
  "readonly s Version = '$version';" "readwrite i WindowState = 0;" "readwrite b Visible = false;" \
  "readonly b UserControl = false;" "readonly s Path = '$folder';" \
  "readonly o VersionInfo = '/Application/VersionInfo';" "node VersionInfo {"; do
  grep -qF -- "$line" <<<"$introspection" || fail "introspection lacks [$line]"
done

# Shown, minimized, and maximized again: 2 on a minimized program restores and maximizes it.
app Set Visible '<true>' >/dev/null
expect "shown" "(<true>,)" "$(app Get Visible)"
app Set WindowState '<1>' >/dev/null
expect "minimized" "(<1>,)" "$(app Get WindowState)"
app Set WindowState '<2>' >/dev/null
expect "restored and maximized" "(<2>,)" "$(app Get WindowState)"
app Set WindowState '<0>' >/dev/null
app Set WindowState '<5>' >/dev/null
expect "normal, and 5 changes nothing" "(<0>,)" "$(app Get WindowState)"
expect "a wrong type" "Error: GDBus.Error:org.freedesktop.DBus.Error.InvalidArgs: Property Visible takes the type b" \
  "$(app Set Visible '<"yes">')"
expect "read-only" "Error: GDBus.Error:org.freedesktop.DBus.Error.PropertyReadOnly: Property Name is read-only" \
  "$(app Set Name '<"x">')"
expect "one program served every call" "$pid" "$(owner)"

# Hidden again and unused, it ends after the idle time.
app Set Visible '<false>' >/dev/null
ended "$pid" 60 || fail "the hidden program did not end"
expect "name given up" "(false,)" "$(bus NameHasOwner Tesserel.Application)"

# A normal start takes the free name.
cp "$samples/iowa-2024.tsj" "$work/fields.tsj"
"$program" "$work/fields.tsj" 2>/dev/null &
normal=$!
started+=("$normal")
for _ in $(seq 1 60); do
  [ "$(bus NameHasOwner Tesserel.Application)" == "(true,)" ] && break
  sleep 1
done
expect "normal start serves" "$normal" "$(owner)"
expect "user control" "(<true>,)" "$(app Get UserControl)"
expect "visible" "(<true>,)" "$(app Get Visible)"

# The service file switches work without a display.
service="$work/data/dbus-1/services/Tesserel.Application.service"
switch() { env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$work/data" "$program" "$1" 2>&1; }
expect "-RegServer" "tesserel: Installed $service" "$(switch -RegServer)"
expect "service file" "$(printf '[D-BUS Service]\nName=Tesserel.Application\nExec=%s -embedding' "$program")" \
  "$(cat "$service" 2>&1)"
expect "/unregserver" "tesserel: Removed $service" "$(switch /unregserver)"
[ -e "$service" ] && fail "the service file is still there"
expect "nothing to remove" "tesserel: Nothing to remove: $service does not exist" "$(switch -unregserver)"
switch --help | grep -q -- "-regserver" || fail "--help does not name -regserver"

[ "$failures" -eq 0 ] && echo "All automation checks passed."
exit $((failures > 0))
