#!/usr/bin/env bash
# Installs the Debian packages a build needs, when they are missing.
# Usage: scripts/deps.sh [core|cli|bench|peers|fuzz|windows]...   (core is always included)
# "peers" are the libraries bench/run measures the library against. python3
# compiles the translation catalogues; gettext (msgfmt) and groff-base check
# the catalogues and the manual pages in the tests.
set -euo pipefail

packages=(g++ cmake ninja-build libgtest-dev libgmock-dev binutils python3)
for group in "$@"; do
  case "$group" in
    core) ;;
    cli) packages+=(libcli11-dev nlohmann-json3-dev pkg-config gettext groff-base) ;;
    bench) packages+=(libbenchmark-dev) ;;
    peers) packages+=(qtbase5-dev libglib2.0-dev pkg-config python3 python3-matplotlib) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    # Cross builds for Windows and Wine to run their tests; googletest's
    # sources are built with the cross compiler. 32-bit Wine needs i386.
    windows)
      packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 googletest
                 libcli11-dev nlohmann-json3-dev)
      if dpkg --print-foreign-architectures | grep -qx i386 ||
         { [ "$(id -u)" -eq 0 ] && dpkg --add-architecture i386 2>/dev/null; }; then
        packages+=(wine32:i386)
      fi
      ;;
    *) echo "deps.sh: unknown group '$group'" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "deps.sh: need root (or sudo) to install: ${missing[*]}" >&2
  exit 1
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
