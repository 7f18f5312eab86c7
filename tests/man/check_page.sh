#!/usr/bin/env bash
# A manual page renders with groff's every warning enabled and none given,
# and has the sections a reader looks for.
set -euo pipefail
groff=$1
page=$2
warnings=$(LC_ALL=C.UTF-8 "$groff" -man -ww -z -K utf8 "$page" 2>&1)
if [ -n "$warnings" ]; then
  echo "$warnings"
  exit 1
fi
for section in NAME SYNOPSIS DESCRIPTION "SEE ALSO"; do
  grep -q "^\.SH \"\{0,1\}$section" "$page" || { echo "$page: no $section section"; exit 1; }
done
echo "$(basename "$page") renders cleanly"
