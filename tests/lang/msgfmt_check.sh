#!/usr/bin/env bash
# Every catalogue passes msgfmt --check, and the check has teeth: a copy of
# each with the copied-task format's %s written as %d is refused, which
# needs the c-format flag on that entry.
set -euo pipefail
msgfmt=$1
lang_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for catalogue in "$lang_dir"/*.po "$lang_dir"/*.pot; do
  "$msgfmt" --check -o /dev/null "$catalogue"
  [[ $catalogue == *.pot ]] && continue
  broken=$work/$(basename "$catalogue")
  # Only the translation is changed: the English keeps its %s.
  awk '/^msgctxt "41111"/ {hit = 1} hit && /^msgstr/ {sub(/%s/, "%d"); hit = 0} {print}' \
    "$catalogue" >"$broken"
  if "$msgfmt" --check -o /dev/null "$broken" 2>/dev/null; then
    echo "msgfmt accepted %d for %s in $(basename "$catalogue"): is 41111 flagged c-format?"
    exit 1
  fi
done
echo "catalogues checked"
