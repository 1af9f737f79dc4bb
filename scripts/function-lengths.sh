#!/usr/bin/env bash
# Lists the longest function definitions (lines from signature to closing brace), longest first.
#   function-lengths.sh [-n COUNT] [PATH...]    (default: the 20 longest in src sim bench)
# Needs Universal Ctags and python3.
set -euo pipefail
cd "$(dirname "$0")/.."
count=20
if [ "${1:-}" = "-n" ]; then
  count=$2
  shift 2
fi
[ $# -gt 0 ] || set -- src sim bench
ctags -R --languages=C++ --c++-kinds=f --fields=+ne --output-format=json -o - "$@" |
  python3 -c '
import json, sys
rows = []
for line in sys.stdin:
    tag = json.loads(line)
    if "end" not in tag:
        continue
    scope = tag.get("scope", "")
    name = tag["name"]
    if tag.get("scopeKind") in ("class", "struct"):
        name = scope.split("::")[-1] + "::" + name
    rows.append((tag["end"] - tag["line"] + 1, name, "%s:%d" % (tag["path"], tag["line"])))
rows.sort(key=lambda r: (-r[0], r[2]))
for n, name, where in rows[:int(sys.argv[1])]:
    print("%5d  %-40s %s" % (n, name, where))
' "$count"
