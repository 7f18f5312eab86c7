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

scratch=$(mktemp -d "${TMPDIR:-/tmp}/orxprop-demo-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
# The data folder does not exist yet: reads answer from the defaults, the
# first write creates it.
demo=$scratch/data
export ORX_DATA_FOLDER=$demo
export ORX_LANGUAGE_MODULE=$PWD/build/dev/lang/en.lang

step() {
  printf '\n$ orxprop'
  printf ' %q' "$@"
  printf '\n'
  "$tool" "$@"
}

echo "A data folder that does not exist yet: $demo (every setting reads as its default)"
step describe general.UpdatePeriod
step get general.UpdatePeriod
step get general.UpdatePeriode || true
step set general.UpdatePeriod banana || true
step set general.UpdatePeriod 120
step get UpdatePeriod
step reset UpdatePeriod
step get UpdatePeriod
step set general.UpdatePeriod 120
step get provider.VirusAction --provider WebTarve
step get provider.VirusAction --provider EmailTarve

first=$("$tool" tasks create)
second=$("$tool" tasks create)
printf '\n$ orxprop tasks create   (twice)\n%s\n%s\n' "$first" "$second"
step set task.Label "Quick scan" --task "$first"
step set task.SchedDays 62 --task "$first"
step tasks copy "$first"
step tasks list
step tasks remove Task2 "$second"
step tasks list --all-slots
step tasks shrink
step tasks list
step dump --task "$first"
step check

printf '\n$ orxprop dump --all --json > backup.json; orxprop --data-folder other import backup.json\n'
"$tool" dump --all --json >"$scratch/backup.json"
"$tool" --data-folder "$scratch/other" import "$scratch/backup.json"
step --data-folder "$scratch/other" tasks list

printf '\nThe main settings file now holds:\n'
sed 's/^/  /' "$demo/ormix5.ini"
