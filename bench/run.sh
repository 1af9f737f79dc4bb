#!/usr/bin/env bash
# Runs every benchmark of bench/ on a Release build in build-bench and prints the tables that
# bench/README.md holds. REPEAT=N sets the runs per wire figure (default 3); the machine's
# other load disturbs the figures, so the tables give the best and the median.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build-bench}
REPEAT=${REPEAT:-3}

cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target vela_wire_bench vela_file_bench vela_startup_bench \
  velacli vela-sim velaconfig >/dev/null

echo "## Machine"
echo
echo "- nproc: $(nproc)"
echo "- CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')"
echo "- kernel: $(uname -sr)"
echo "- date: $(date -u +%Y-%m-%dT%H:%MZ)"
echo

wire() { "$BUILD/bench/vela_wire_bench" --repeat "$REPEAT" --turnaround-us 1000 "$@"; }

echo "## Whole-board operations over the pty, fully programmed board (32 pins x 36 steps)"
echo
wire --baud 19200 --pins 32
wire --baud 38400 --pins 32 --no-header
echo
echo "## The same through the simulated command station (velacli --tunnel)"
echo
wire --station --baud 19200 --pins 32
wire --station --baud 38400 --pins 32 --no-header
echo
echo "## Growth with the programmed pins (38400 bit/s)"
echo
wire --baud 38400 --pins 0
for pins in 8 16; do wire --baud 38400 --pins "$pins" --no-header; done
for pins in 0 8 16; do wire --station --baud 38400 --pins "$pins" --no-header; done
echo
echo "## velacli compare next to read-all (the same exchanges, then the comparison)"
echo
wire --baud 38400 --pins 32 --ops read-all,compare
echo
echo "## Start-up"
echo
QT_QPA_PLATFORM=offscreen "$BUILD/bench/vela_startup_bench" 15
echo
echo "## Data file load and save; comparison of two configurations"
echo
"$BUILD/bench/vela_file_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
