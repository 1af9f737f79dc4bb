#!/usr/bin/env bash
# Sets up, builds and starts the VelaConfig window on the built-in simulated board. Builds only
# the window (no tests, no GoogleTest needed).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
cmake_args=${CMAKE_ARGS:-}
# A fresh build folder leaves the tests out; one that run-tests.sh set up keeps them.
[ -f "$build_dir/CMakeCache.txt" ] || cmake_args="-DVELA_BUILD_TESTS=OFF $cmake_args"
SETUP_ARGS="--demo ${SETUP_ARGS:-}" TARGETS=velaconfig CMAKE_ARGS=$cmake_args ./scripts/build.sh
exec "$build_dir/src/app/velaconfig" --demo "$@"
