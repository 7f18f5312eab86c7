#!/usr/bin/env bash
# Installs the build into a temporary prefix other than the configured one
# and uses it from there with no LD_LIBRARY_PATH: the installed files are
# checked, a C consumer is built through pkg-config (without
# --define-prefix: the .pc file must locate its prefix itself), a C++ consumer
# through find_package and orxProperty.hpp, and orxprop runs and finds its
# library and its language tables. The whole prefix is then moved, and the
# tool must still find both.
set -euo pipefail
build_dir=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() { echo "$*"; exit 1; }

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'liborxProperty.so.1' | head -n 1)")
for path in "$libdir/liborxProperty.so" "$libdir/liborxProperty.so.1" \
            "$prefix/include/orxProperty.h" "$prefix/include/orxPropertyIds.h" \
            "$prefix/include/orxProperty.hpp" "$prefix/include/orxPropertyBase.hpp" \
            "$prefix/bin/orxprop" \
            "$prefix/share/man/man1/orxprop.1" "$prefix/share/man/man3/orxProperty.3" \
            "$prefix/share/man/man5/orxProperty.5" \
            "$prefix/share/orxProperty/lang/en.lang" "$prefix/share/orxProperty/lang/de.lang" \
            "$prefix/share/doc/orxProperty/LICENSE" \
            "$libdir/cmake/orxProperty/orxPropertyConfig.cmake" \
            "$libdir/pkgconfig/orxProperty.pc"; do
  [ -e "$path" ] || fail "missing after install: $path"
done
[ "$(readlink "$libdir/liborxProperty.so")" = liborxProperty.so.1 ] ||
  fail "liborxProperty.so does not point at the SONAME"
# Nothing installed may name the build tree or the configured prefix.
if grep -rlI -e "$build_dir" "$prefix"; then
  fail "the files above name the build folder"
fi

unset LD_LIBRARY_PATH ORX_LANGUAGE_MODULE LC_ALL LC_MESSAGES
export LANG=C.UTF-8
export ORX_DATA_FOLDER=$work/data
mkdir -p "$ORX_DATA_FOLDER"

export PKG_CONFIG_PATH=$libdir/pkgconfig
[ "$(pkg-config --variable=includedir orxProperty)" -ef "$prefix/include" ] ||
  fail "orxProperty.pc names $(pkg-config --variable=includedir orxProperty)"
# shellcheck disable=SC2046
cc -std=c99 -Wall -Werror -o "$work/c_consumer" "$source_dir/pkgconfig_consumer/main.c" \
  $(pkg-config --cflags --libs orxProperty) \
  -Wl,-rpath,"$(pkg-config --variable=libdir orxProperty)"
"$work/c_consumer"

cmake -S "$source_dir/cmake_consumer" -B "$work/cmake_build" -G Ninja \
  -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake_build" >/dev/null
"$work/cmake_build/consumer"

# orxprop from the prefix: no loader setting, its tables beside
# the library. The C consumer stored 120; the task the C++ consumer created
# is labelled with the first localized name.
check_tool() {
  local tool=$1
  "$tool" get general.UpdatePeriod | grep -qx 120 || fail "$tool: wrong UpdatePeriod"
  local task
  task=$("$tool" tasks list | grep -o '{[0-9A-Fa-f-]*}' | head -n 1)
  [ -n "$task" ] || fail "$tool: no task listed"
  env -u LANG LANGUAGE=de "$tool" get task.Label --task "$task" | grep -qx 'Schnellprüfung' ||
    fail "$tool: the German table was not found"
  "$tool" get task.Label --task "$task" | grep -qx 'Quick scan' ||
    fail "$tool: the English label is wrong"
}
check_tool "$prefix/bin/orxprop"
mv "$prefix" "$work/moved"
check_tool "$work/moved/bin/orxprop"
moved_libdir=${libdir/#$prefix/$work/moved}
[ "$(PKG_CONFIG_PATH=$moved_libdir/pkgconfig pkg-config --variable=includedir orxProperty)" \
  -ef "$work/moved/include" ] || fail "orxProperty.pc does not follow the moved prefix"
cmake -S "$source_dir/cmake_consumer" -B "$work/cmake_moved" -G Ninja \
  -DCMAKE_PREFIX_PATH="$work/moved" >/dev/null
cmake --build "$work/cmake_moved" >/dev/null
"$work/cmake_moved/consumer" >/dev/null || fail "the CMake package does not follow the moved prefix"
echo "installed package: both consumers built and ran, orxprop works where it lands"
