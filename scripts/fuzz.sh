#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for SECONDS (default 60)
# from the committed seeds. A crash fails the run and leaves its input in fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
. scripts/jobs.sh
./scripts/setup.sh --fuzz
build_dir=${BUILD_DIR:-build-fuzz}
CXX=clang++ cmake -S . -B "$build_dir" -DVELA_FUZZ=ON -DVELA_BUILD_GUI=OFF -DVELA_BUILD_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(item_reader data_file device_file reply_reader station_frame)
cmake --build "$build_dir" -j"$JOBS" --target "${targets[@]/#/fuzz_}"
mkdir -p fuzz/findings
status=0
for t in "${targets[@]}"; do
  corpus=$(mktemp -d)
  echo "== fuzz_$t for ${seconds}s"
  if ! "$build_dir/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
      -artifact_prefix="fuzz/findings/${t}-" "$corpus" "fuzz/seeds/$t" 2>"$corpus.log"; then
    tail -40 "$corpus.log"
    status=1
  else
    grep -E '^Done' "$corpus.log" || true
  fi
  rm -rf "$corpus" "$corpus.log"
done
exit $status
