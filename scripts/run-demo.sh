#!/usr/bin/env bash
# Sets up, builds and starts the VelaConfig window on the built-in simulated board.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
exec "${BUILD_DIR:-build}/src/app/velaconfig" --demo "$@"
