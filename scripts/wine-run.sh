#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, in a private prefix.
# Usage: scripts/wine-run.sh x64|x86 PREFIX PROGRAM [ARGS...]
# The toolchain files name this script as the cross-compiling emulator, so
# ctest runs every Windows test through it. The prefix is created on first
# use (15 to 30 s); x86 programs need a kernel that runs 32-bit processes,
# and exit 77 (ctest's skip code here) with a line saying so when it does not.
set -uo pipefail
arch=$1 prefix=$2
shift 2

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ "$arch" = x64 ]; then
  export WINELOADER=/usr/lib/wine/wine64
  loader=/usr/lib/wine/wine64
else
  export WINELOADER=/usr/lib/wine/wine
  loader=/usr/lib/wine/wine
fi
mkdir -p "$prefix"
# The 32-bit loader is itself a 32-bit program: "--version" is enough to see
# whether the kernel execs it ("Exec format error" where it does not).
if [ "$arch" = x86 ] && ! "$loader" --version >/dev/null 2>&1; then
  echo "skipped: this kernel runs no 32-bit processes (Wine's 32-bit loader fails)"
  exit 77
fi
exec "$loader" "$@"
