#!/usr/bin/env bash
# The resource script made for a language compiles with windres, and the
# compiled STRINGTABLE holds the translated strings as UTF-16LE, non-ASCII
# letters included.
set -euo pipefail
windres=$1
rc=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$windres" -i "$rc" -O res -o "$work/strings.res"
for text in 'Schnellprüfung' 'Kopie von %s'; do
  needle=$(printf '%s' "$text" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 | tr -d ' \n')
  od -An -tx1 -v "$work/strings.res" | tr -d ' \n' | grep -q "$needle" ||
    { echo "$text is not in the compiled resources"; exit 1; }
done
echo "resource script compiled with its strings"
