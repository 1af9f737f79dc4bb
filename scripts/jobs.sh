# shellcheck shell=bash
# Sourced by the scripts: JOBS, the number of parallel compile jobs. Bounded by the cores and by
# the memory (the heaviest files take about 500 MB each); JOBS set by the caller wins.
if [ -z "${JOBS:-}" ]; then
  JOBS=$(nproc 2>/dev/null || sysctl -n hw.ncpu 2>/dev/null || echo 2)
  if [ -r /proc/meminfo ]; then
    mem_jobs=$(awk '/^MemAvailable:/ { print int($2 / 600000) }' /proc/meminfo)
    if [ -n "$mem_jobs" ] && [ "$mem_jobs" -lt "$JOBS" ]; then JOBS=$mem_jobs; fi
  fi
  [ "$JOBS" -ge 1 ] || JOBS=1
fi
export JOBS
