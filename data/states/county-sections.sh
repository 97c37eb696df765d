#!/bin/sh
# Writes the [CntyCode] sections of a state file from the program's county table
# (data/counties/usa-counties.txt) and the regions in county-regions.txt:
#   data/states/county-sections.sh xx          prints the sections of state xx
#   data/states/county-sections.sh -w xx       replaces them in xx.qri (sign the file afterwards)
# Every county gets manure application region 1. A region entry naming no county of the state
# is an error, so a renamed county cannot drop out silently.
set -eu
here=$(dirname "$0")
write=no
if [ "${1:-}" = "-w" ]; then write=yes; shift; fi
[ $# -eq 1 ] || { echo "usage: $0 [-w] <state abbreviation>" >&2; exit 2; }
st=$(echo "$1" | tr '[:lower:]' '[:upper:]')
lower=$(echo "$1" | tr '[:upper:]' '[:lower:]')

sections() {
  awk -F'\t' -v st="$st" '
    FNR == NR {                        # county-regions.txt
      if ($0 ~ /^#/ || $0 ~ /^[ \t]*$/) next
      line = $0
      if (!match(line, /^[A-Za-z][A-Za-z][ \t]+[0-9]+[ \t]+/)) { print "bad line: " line > "/dev/stderr"; bad = 1; next }
      split(substr(line, 1, RLENGTH), head, /[ \t]+/)
      if (toupper(head[1]) != st) next
      n = split(substr(line, RLENGTH + 1), names, ",")
      for (i = 1; i <= n; i++) { region[names[i]] = head[2]; wanted[names[i]] = 1 }
      next
    }
    $1 == "state" { inState = ($3 == st); next }
    $1 == "county" && inState {
      name = $3
      printf "[CntyCode=%d]\nName=%s\nAppRegion=1\nRecRegion=%s\n", $2 + 0, name, (name in region) ? region[name] : 1
      delete wanted[name]
      count++
    }
    END {
      for (name in wanted) { print "county-regions.txt: no county " name " in " st > "/dev/stderr"; bad = 1 }
      if (count == 0) { print "no counties for state " st > "/dev/stderr"; bad = 1 }
      exit bad
    }' "$here/county-regions.txt" "$here/../counties/usa-counties.txt"
}

if [ "$write" = no ]; then sections; exit 0; fi
file="$here/$lower.qri"
sections > "$file.cnty"
# Drop the old county sections and put the new ones where the first of them stood.
awk -v block="$file.cnty" '
  /^\[/ { inCounty = (toupper($0) ~ /^\[CNTYCODE=/) }
  inCounty && !done { while ((getline l < block) > 0) print l; done = 1 }
  !inCounty { print }
  END { if (!done) while ((getline l < block) > 0) print l }' "$file" > "$file.new"
rm "$file.cnty"
mv "$file.new" "$file"
