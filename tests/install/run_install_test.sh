#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the installed files, and
# builds and runs one C consumer through pkg-config and one C++ consumer
# through find_package.
set -euo pipefail
build_dir=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'liborxProperty.so.1' | head -n 1)")
for path in "$libdir/liborxProperty.so" "$libdir/liborxProperty.so.1" \
            "$prefix/include/orxProperty.h" "$prefix/bin/orxprop" \
            "$prefix/share/man/man1/orxprop.1" \
            "$libdir/cmake/orxProperty/orxPropertyConfig.cmake" \
            "$libdir/pkgconfig/orxProperty.pc"; do
  [ -e "$path" ] || { echo "missing after install: $path"; exit 1; }
done
[ "$(readlink "$libdir/liborxProperty.so")" = liborxProperty.so.1 ] ||
  { echo "liborxProperty.so does not point at the SONAME"; exit 1; }

export ORX_DATA_FOLDER=$work/data
mkdir -p "$ORX_DATA_FOLDER"
export LD_LIBRARY_PATH=$libdir

export PKG_CONFIG_PATH=$libdir/pkgconfig
# shellcheck disable=SC2046
cc -std=c99 -Wall -Werror -o "$work/c_consumer" "$source_dir/pkgconfig_consumer/main.c" \
  $(pkg-config --define-prefix --cflags --libs orxProperty)
"$work/c_consumer"

cmake -S "$source_dir/cmake_consumer" -B "$work/cmake_build" -G Ninja \
  -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake_build" >/dev/null
"$work/cmake_build/consumer"

"$prefix/bin/orxprop" get general.UpdatePeriod | grep -qx 120
echo "installed package: both consumers built and ran"
