#!/usr/bin/env bash
# Sets up, builds and runs every test suite (unit, integration, gui); arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/jobs.sh
CMAKE_ARGS="-DVELA_BUILD_TESTS=ON ${CMAKE_ARGS:-}" ./scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$JOBS" "$@"
