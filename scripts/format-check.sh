#!/usr/bin/env bash
# Checks that every C++ source in the tree is formatted as .clang-format says; names the files
# that are not and exits 1. --fix formats them in place instead. CLANG_FORMAT picks the program
# (default clang-format-14, else clang-format); CI uses clang-format 14, and other versions
# may format some constructs differently.
set -euo pipefail
cd "$(dirname "$0")/.."
fix=0
case "${1:-}" in
  --fix) fix=1 ;;
  "") ;;
  *)
    echo "format-check.sh: unknown option $1" >&2
    exit 2
    ;;
esac
program=${CLANG_FORMAT:-}
if [ -z "$program" ]; then
  program=$(command -v clang-format-14 || command -v clang-format || true)
fi
if [ -z "$program" ]; then
  echo "format-check.sh: clang-format is not installed (./scripts/setup.sh --format)" >&2
  exit 1
fi
version=$("$program" --version | sed -n 's/.*version \([0-9][0-9]*\)\..*/\1/p')
[ "$version" = 14 ] || echo "format-check.sh: $program is version $version, CI uses 14" >&2
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' '*.h.in')
else
  mapfile -t files < <(find src sim tests bench fuzz -name '*.cpp' -o -name '*.h' -o -name '*.h.in')
fi
if [ "$fix" = 1 ]; then
  "$program" -i "${files[@]}"
  exit 0
fi
# One run for the whole tree; each misformatted place is a "file:line:col: error:" line.
if ! report=$("$program" --dry-run -Werror "${files[@]}" 2>&1); then
  echo "format-check.sh: not formatted as .clang-format says (scripts/format-check.sh --fix):" >&2
  sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error:.*/  \1/p' <<<"$report" | sort -u >&2
  exit 1
fi
echo "format-check.sh: ${#files[@]} files formatted"
