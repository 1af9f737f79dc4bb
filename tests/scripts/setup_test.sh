#!/usr/bin/env bash
# scripts/setup.sh against fake package tools: apt only for what is missing, with the real
# package names; nothing at all when everything is there or SKIP_SETUP=1; without apt, the
# package names of other systems and on when CMake and a compiler are found.
set -euo pipefail
setup=$(cd "$(dirname "$0")/../../scripts" && pwd)/setup.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
  if ! "${@:2}"; then
    echo "FAIL: $1" >&2
    failures=$((failures + 1))
  fi
}

# The basic tools the script uses, and fakes: dpkg-query answers from $work/installed,
# apt-get and sudo write their calls to $work/log.
mkdir -p "$work/base" "$work/apt"
for tool in grep sed head id cat awk; do ln -s "$(command -v "$tool")" "$work/base/$tool"; done
printf '#!/bin/sh\nexit 0\n' >"$work/base/cmake"
printf '#!/bin/sh\nexit 0\n' >"$work/base/c++"
cat >"$work/apt/dpkg-query" <<EOF
#!/bin/sh
for last; do :; done
grep -qx "\$last" "$work/installed" && printf 'install ok installed'
exit 0
EOF
printf '#!/bin/sh\necho "apt-get $*" >>%s/log\n' "$work" >"$work/apt/apt-get"
printf '#!/bin/sh\nexit 1\n' >"$work/apt/apt-cache"
printf '#!/bin/sh\necho "sudo" >>%s/log\nexec "$@"\n' "$work" >"$work/apt/sudo"
chmod +x "$work"/base/* "$work"/apt/*

all_packages="cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-serialport-dev
libgl-dev libxkbcommon-dev libgtest-dev libgmock-dev"
run() {  # run PATH ARGS...: setup.sh's output in $work/out, its status in $status
  : >"$work/log"
  status=0
  PATH=$1 "$BASH" "$setup" "${@:2}" >"$work/out" 2>&1 || status=$?
}
with_apt="$work/apt:$work/base"

echo "$all_packages" | tr ' ' '\n' >"$work/installed"
run "$with_apt"
check "everything installed: exit 0" test "$status" = 0
check "everything installed: apt untouched" test ! -s "$work/log"

grep -v -e qt6-serialport-dev -e libgtest-dev "$work/installed" >"$work/partial"
cp "$work/partial" "$work/installed"
run "$with_apt"
check "missing packages: installed" grep -q "install .* qt6-serialport-dev libgtest-dev$" "$work/log"
check "missing packages: the list refreshed first" grep -q "apt-get update" "$work/log"
check "missing packages: nothing else named" test "$(grep -c install "$work/log")" = 1

grep -v qt6-serialport-dev <(echo "$all_packages" | tr ' ' '\n') >"$work/installed"
run "$with_apt" --demo
check "demo: only the window's packages" grep -q "install .* qt6-serialport-dev$" "$work/log"
grep -v -e libgtest-dev -e libgmock-dev <(echo "$all_packages" | tr ' ' '\n') >"$work/installed"
run "$with_apt" --demo
check "demo: GoogleTest not needed" test ! -s "$work/log"

echo "$all_packages" | tr ' ' '\n' >"$work/installed"
run "$with_apt" --format --ccache
check "CI tools: clang-format and ccache installed" grep -q "install .* clang-format ccache$" "$work/log"

: >"$work/installed"
SKIP_SETUP=1 run "$with_apt"
check "SKIP_SETUP=1: apt untouched" test ! -s "$work/log"
check "SKIP_SETUP=1: exit 0" test "$status" = 0

run "$work/base"
check "no apt, tools found: goes on" test "$status" = 0
for name in Fedora Arch openSUSE Homebrew MSYS2 qt6-qtserialport-devel mingw-w64-ucrt-x86_64; do
  check "no apt: names $name" grep -q "$name" "$work/out"
done
rm "$work/base/cmake"
run "$work/base"
check "no apt, no cmake: exit 1" test "$status" = 1
check "no apt, no cmake: says so" grep -q "cmake is not installed" "$work/out"

[ "$failures" = 0 ] && echo "setup.sh: all checks passed"
exit "$failures"
