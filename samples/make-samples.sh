#!/bin/bash
# Builds the sample projects from their readable sources with tesserel-cli.
#   make-samples.sh CLI SOURCE OUTPUT
# A source holds, one per line (blank lines and lines starting with "#" are skipped):
#   project STATE YEAR TITLE        the new project (STATE 0 for a multi-state project)
#   author TEXT, company TEXT, comments TEXT   the project's properties
#   common                          the NAME=VALUE lines that follow apply to every record
#   field ID [NAME [SUB [STATE]]]   a new record; the NAME=VALUE lines that follow are its data
#   NAME=VALUE                      a field of the record (export column names, dates yyyy-mm-dd)
# The output is rebuilt from scratch, so the same source always gives the same records.
set -euo pipefail
cli=$1 source=$2 out=$3
tmp="${out%.tsj}.building.tsj"
rm -f "$tmp"

common=() values=() record=0 in_common=0

flush() {
  if [ "$record" -gt 0 ]; then
    "$cli" set "$tmp" "$record" "${common[@]}" "${values[@]}" > /dev/null
  fi
  values=()
}

while IFS= read -r line || [ -n "$line" ]; do
  line="${line#"${line%%[![:space:]]*}"}"
  case "$line" in
    '' | '#'*) continue ;;
    'project '*)
      read -r _ state year title <<< "$line"
      "$cli" new "$tmp" --state "$state" --year "$year" --title "$title" ;;
    'author '* | 'company '* | 'comments '*)
      "$cli" properties "$tmp" "--${line%% *}" "${line#* }" > /dev/null ;;
    common) in_common=1 ;;
    'field '*)
      flush
      in_common=0
      read -r _ id name sub fstate <<< "$line"
      args=(--id "$id")
      [ -n "${name:-}" ] && [ "$name" != "-" ] && args+=(--name "$name")
      [ -n "${sub:-}" ] && [ "$sub" != "-" ] && args+=(--sub "$sub")
      [ -n "${fstate:-}" ] && args+=(--state "$fstate")
      record=$("$cli" add "$tmp" "${args[@]}") ;;
    *=*)
      if [ "$in_common" = 1 ]; then common+=("$line"); else values+=("$line"); fi ;;
    *)
      echo "$source: cannot read: $line" >&2
      exit 1 ;;
  esac
done < "$source"
flush
mv -f "$tmp" "$out"
