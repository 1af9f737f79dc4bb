#!/usr/bin/env bash
# The Windows leg: cross-compiles the core, the simulator library and their unit tests for
# 64-bit Windows with MinGW-w64 (GoogleTest built from its Debian sources) and runs them under
# Wine, in a Wine prefix of its own inside the build folder. -O2: GCC 12 gives false -Wrestrict
# warnings on std::string at -O3.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/jobs.sh
./scripts/setup.sh --windows
build_dir=${BUILD_DIR:-build-win}
cmake -S . -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" -DVELA_BUILD_GUI=OFF -DVELA_GTEST_SOURCE_DIR=/usr/src/googletest \
  "-DCMAKE_INSTALL_PREFIX=C:/Program Files/VelaConfig" >/dev/null
cmake --build "$build_dir" -j"$JOBS"
WINEPREFIX=$(pwd)/$build_dir/wine-prefix
export WINEPREFIX WINEDEBUG=-all
wine=$(sed -n 's/^VELA_WINE:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
if [ -z "$wine" ] || [ ! -x "$wine" ]; then
  echo "windows-tests.sh: Wine (wine64) was not found" >&2
  exit 1
fi
# Create the prefix once, before the test programs start side by side.
"$wine" cmd /c exit >/dev/null 2>&1 || true
ctest --test-dir "$build_dir" --output-on-failure -j"$JOBS" "$@"
