#!/usr/bin/env bash
# Fails, naming file and include, when a source file includes a folder above its
# own floor (or a folder beside it) as scripts/layers.txt declares them.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A floor
toolsAllowed=""
n=0
while IFS= read -r line; do
  line="${line%%#*}"
  [ -z "${line// }" ] && continue
  if [[ "$line" == tools:* ]]; then toolsAllowed=" ${line#tools:} "; continue; fi
  n=$((n + 1))
  for folder in $line; do floor[$folder]=$n; done
done < scripts/layers.txt

status=0
complain() { echo "layers: $1 includes \"$2\" ($3)"; status=1; }

for dir in src/*/; do
  own=$(basename "$dir")
  if [ -z "${floor[$own]:-}" ]; then echo "layers: src/$own is on no floor of scripts/layers.txt"; status=1; continue; fi
  while IFS=: read -r file _ inc; do
    target="${inc%%/*}"
    [ "$target" = "$own" ] && continue
    [ -z "${floor[$target]:-}" ] && continue
    if [ "${floor[$target]}" -gt "${floor[$own]}" ]; then
      complain "$file" "$inc" "$target is above $own"
    elif [ "${floor[$target]}" -eq "${floor[$own]}" ]; then
      complain "$file" "$inc" "$target stands beside $own"
    fi
  done < <(grep -rnoE '^#include "[a-z]+/[^"]+"' "$dir" | sed -E 's/#include "([^"]+)"/\1/')
done

while IFS=: read -r file _ inc; do
  target="${inc%%/*}"
  [ -z "${floor[$target]:-}" ] && continue
  [[ "$toolsAllowed" == *" $target "* ]] || complain "$file" "$inc" "tools may use only:$toolsAllowed"
done < <(grep -rnoE '^#include "[a-z]+/[^"]+"' tools/ | sed -E 's/#include "([^"]+)"/\1/')

[ $status -eq 0 ] && echo "layers: every include stands on a floor below its file's own"
exit $status
