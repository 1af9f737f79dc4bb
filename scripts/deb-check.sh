#!/usr/bin/env bash
# Builds the .deb from a build folder configured with -DCMAKE_INSTALL_PREFIX=/usr, installs it
# with apt-get, runs the installed programs and removes the package again. Refuses to run where
# velaconfig is installed already, so it never replaces or removes a user's installation.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(cd "${BUILD_DIR:-build}" && pwd)
./scripts/setup.sh --package
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build_dir/CMakeCache.txt")
if [ "$prefix" != /usr ]; then
  echo "deb-check.sh: $build_dir installs into $prefix; configure it with -DCMAKE_INSTALL_PREFIX=/usr" >&2
  exit 2
fi
if dpkg-query -W -f='${Status}' velaconfig 2>/dev/null | grep -q "install ok installed"; then
  echo "deb-check.sh: velaconfig is installed on this system already; not touching it" >&2
  exit 2
fi
rm -rf "$build_dir/package"
(cd "$build_dir" && cpack -G DEB -B "$build_dir/package" >/dev/null)
deb=$(ls "$build_dir"/package/velaconfig_*.deb)
echo "== $(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
work=$(mktemp -d)
# shellcheck disable=SC2317  # called by the trap
remove() {
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq velaconfig >/dev/null
  rm -rf "$work"
}
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
trap remove EXIT

status=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAIL: $1" >&2; status=1; fi
}
check "velacli --version" sh -c '/usr/bin/velacli --version | head -1 | grep -qx "velacli [0-9.]*"'
check "velacli --demo read-all x.dat" sh -c "cd '$work' && /usr/bin/velacli --demo read-all x.dat && test -s x.dat"
check "vela-sim --version" sh -c '/usr/bin/vela-sim --version | grep -q GPL-3.0-or-later'
# The window runs until it is stopped: still running after 5 s (timeout's 124) is success.
check "velaconfig --demo runs" sh -c 'QT_QPA_PLATFORM=offscreen timeout 5 /usr/bin/velaconfig --demo >/dev/null 2>&1; test $? = 124'
for f in /usr/share/velaconfig/VelaDevices.def /usr/share/man/man1/velacli.1.gz \
  /usr/share/man/man1/vela-sim.1.gz /usr/share/bash-completion/completions/velacli \
  /usr/share/metainfo/org.velaconfig.VelaConfig.metainfo.xml /usr/share/applications/velaconfig.desktop; do
  check "installed $f" test -s "$f"
done
check "binaries stripped" sh -c "! file -L /usr/bin/velaconfig /usr/bin/velacli /usr/bin/vela-sim | grep -q 'not stripped'"
check "metainfo valid" appstreamcli validate --no-net /usr/share/metainfo/org.velaconfig.VelaConfig.metainfo.xml
exit $status
