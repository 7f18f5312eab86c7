#!/usr/bin/env bash
# The main job: builds everything, then runs a short session of orxprop on a
# fresh demo data folder, which starts out holding nothing but the built-in
# defaults.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh core cli
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$(nproc)" >/dev/null
tool=build/dev/tools/cli/orxprop

demo=$(mktemp -d "${TMPDIR:-/tmp}/orxprop-demo-XXXXXX")
trap 'rm -rf "$demo"' EXIT
export ORX_DATA_FOLDER=$demo
export ORX_LANGUAGE_MODULE=$PWD/build/dev/lang/en.lang

step() {
  printf '\n$ orxprop'
  printf ' %q' "$@"
  printf '\n'
  "$tool" "$@"
}

echo "A fresh data folder: $demo (empty, so every setting reads as its default)"
step describe general.UpdatePeriod
step get general.UpdatePeriod
step set general.UpdatePeriod 120 --int
step get general.UpdatePeriod
step get provider.VirusAction --provider WebTarve
step get provider.VirusAction --provider EmailTarve

first=$("$tool" tasks create)
second=$("$tool" tasks create)
printf '\n$ orxprop tasks create   (twice)\n%s\n%s\n' "$first" "$second"
step set task.Label "Quick scan" --task "$first"
step set task.SchedDays 62 --int --task "$first"
step tasks copy "$first"
step tasks list
step tasks remove Task2 "$second"
step tasks list --all-slots
step tasks shrink
step tasks list
step dump --task "$first"
step check

printf '\nThe main settings file now holds:\n'
sed 's/^/  /' "$demo/ormix5.ini"
