# Sourced by the scripts: which Windows the build in build/win is for on this machine.
# Kitwright ships as a 32-bit program, and its tests run it so, under Wine's 32-bit
# loader. A machine whose kernel runs no 32-bit code at all (an i386 program's exec
# fails with "Exec format error") builds the same sources for 64-bit Windows there
# and tests them under Wine's 64-bit loader; the 32-bit program is then still built,
# in build/win32, but cannot be run. KW_WINDOWS_ARCH=i686 or x86_64 chooses by hand.
# Needs the packages of scripts/setup (wine32 above all) to answer.
windows_arch() {
  if [ -n "${KW_WINDOWS_ARCH:-}" ]; then
    echo "$KW_WINDOWS_ARCH"
  elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i686
  else
    echo x86_64
  fi
}

# Configures the tree DIR (under the top folder TOP) for the toolchain file of ARCH,
# anew when it was configured for another; further arguments go to cmake.
#   configure_windows_tree TOP DIR ARCH [CMAKE ARGS...]
configure_windows_tree() {
  local top=$1 dir=$2 arch=$3
  shift 3
  local toolchain=$top/cmake/mingw-$arch.cmake
  if [ -f "$dir/CMakeCache.txt" ] && ! grep -qxF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain" "$dir/CMakeCache.txt"; then
    rm -rf "$dir"
  fi
  [ -f "$dir/build.ninja" ] ||
    cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" "$@" >/dev/null
}
