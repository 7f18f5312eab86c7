#!/usr/bin/env bash
# Cross-builds the Windows presets and runs their tests under Wine.
# Usage: scripts/windows-tests.sh [x64] [x86]      (both when none is named)
#
# Each build folder has a Wine prefix of its own (build/windows-*/wineprefix),
# created once (15 to 30 s). A wineserver is started for it and warmed with
# one trivial program before ctest, because the first programs of a cold
# server fail now and then with "recvmsg: Connection reset by peer". Where the
# kernel runs no 32-bit processes, the x86 build is still compiled, linked
# and its exports checked, and its Wine tests are skipped with a line saying
# so.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh windows
if command -v ccache >/dev/null 2>&1; then
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

architectures=("$@")
[ ${#architectures[@]} -eq 0 ] && architectures=(x64 x86)
for arch in "${architectures[@]}"; do
  preset=windows-$arch
  build=build/$preset
  start=$SECONDS
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
  echo "== $preset: built in $((SECONDS - start)) s"

  export WINEPREFIX=$PWD/$build/wineprefix
  if [ "$arch" = x64 ]; then
    export WINELOADER=/usr/lib/wine/wine64
  else
    export WINELOADER=/usr/lib/wine/wine
  fi
  if ! "$WINELOADER" --version >/dev/null 2>&1; then
    echo "== $preset: tests skipped: this kernel runs no 32-bit processes" \
         "(Wine's 32-bit loader fails with 'Exec format error'); checking the files only"
    ctest --test-dir "$build" -R 'WindowsAbi.ExportsAndImports' --output-on-failure
    continue
  fi
  mkdir -p "$WINEPREFIX"
  [ -f "$WINEPREFIX/system.reg" ] || "$WINELOADER" wineboot --init >/dev/null 2>&1 || true
  # A persistent server for this prefix (it stays in the foreground when
  # started by hand, hence the '&'); ended with -k after the tests.
  wineserver -p >/dev/null 2>&1 &
  for attempt in 1 2 3; do
    "$WINELOADER" cmd /c exit 0 >/dev/null 2>&1 && break
    sleep 1
  done
  test_start=$SECONDS
  status=0
  ctest --preset "$preset" || status=$?
  echo "== $preset: tests ran in $((SECONDS - test_start)) s"
  wineserver -k || true
  [ "$status" -eq 0 ] || exit "$status"
done
