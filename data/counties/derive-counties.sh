#!/bin/sh
# Regenerates usa-counties.txt from the public-domain FIPS county table:
#   data/counties/derive-counties.sh [fips-counties.csv]
set -eu
here=$(dirname "$0")
csv=${1:-"$here/fips-counties.csv"}
awk -f "$here/derive-counties.awk" "$csv" > "$here/usa-counties.txt.new"
mv "$here/usa-counties.txt.new" "$here/usa-counties.txt"
