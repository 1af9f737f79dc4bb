#!/usr/bin/env bash
# Configures and builds VelaConfig into build/ (or BUILD_DIR). TARGETS limits the build to
# those targets; SETUP_ARGS go to setup.sh; CMAKE_ARGS to the configure step; JOBS bounds the
# parallel jobs (default: the cores, fewer when memory is short).
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/jobs.sh
. scripts/jobs.sh
# shellcheck disable=SC2086
./scripts/setup.sh ${SETUP_ARGS:-}
build_dir=${BUILD_DIR:-build}
# shellcheck disable=SC2086
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" ${CMAKE_ARGS:-} >/dev/null
target_args=()
for t in ${TARGETS:-}; do target_args+=(--target "$t"); done
cmake --build "$build_dir" -j"$JOBS" ${target_args[@]+"${target_args[@]}"}
