#!/usr/bin/env bash
# The main job: builds everything and shows what the library knows, the
# whole property catalogue as a table.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh core
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$(nproc)"
build/dev/tools/catalogue/orx-catalogue
