#!/usr/bin/env bash
# Checks that what building VelaConfig needs is installed. On Debian and Ubuntu it installs
# only the packages that are missing (with sudo when not root) and touches apt not at all when
# nothing is; elsewhere it names the packages and goes on when the tools are found.
#
#   setup.sh            build and test (Qt 6, CMake, a C++ compiler, GoogleTest)
#   setup.sh --demo     only what the window needs (no GoogleTest)
#   setup.sh --fuzz     also clang with its libFuzzer runtime
#   setup.sh --package  also what building and checking the .deb needs
#   setup.sh --windows  also the MinGW-w64 cross compiler, Wine and the GoogleTest sources
#   setup.sh --format   also clang-format, for scripts/format-check.sh
#   setup.sh --ccache   also ccache, which CI puts before the compiler
#
# SKIP_SETUP=1 skips every check.
set -euo pipefail
if [ "${SKIP_SETUP:-0}" = 1 ]; then
  exit 0
fi

tests=1
extras=()
for arg in "$@"; do
  case "$arg" in
    --demo) tests=0 ;;
    --fuzz | --package | --windows | --format | --ccache) extras+=("$arg") ;;
    *)
      echo "setup.sh: unknown option $arg" >&2
      exit 2
      ;;
  esac
done

packages=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev
          libxkbcommon-dev)
[ "$tests" = 1 ] && packages+=(libgtest-dev libgmock-dev)
for extra in ${extras[@]+"${extras[@]}"}; do
  case "$extra" in
    --fuzz)
      # libFuzzer comes with the runtime of the clang that the distribution's clang points to.
      clang_major=$(apt-cache show clang 2>/dev/null | sed -n 's/^Depends:.*clang-\([0-9][0-9]*\).*/\1/p' | head -1)
      packages+=(clang "libclang-rt-${clang_major:-14}-dev")
      ;;
    --package) packages+=(dpkg-dev file appstream) ;;
    --windows) packages+=(g++-mingw-w64-x86-64-posix wine64 googletest) ;;
    --format) packages+=(clang-format) ;;
    --ccache) packages+=(ccache) ;;
  esac
done

if command -v apt-get >/dev/null 2>&1 && command -v dpkg-query >/dev/null 2>&1; then
  missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && exit 0
  echo "setup.sh: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
  exit 0
fi

cat >&2 <<'EOF'
setup.sh: no apt-get here, so nothing is installed. VelaConfig needs CMake 3.25 or later, a
C++20 compiler, Qt 6.4 or later (Widgets, SerialPort, Test) and, for the tests, GoogleTest:
  Fedora    sudo dnf install cmake gcc-c++ qt6-qtbase-devel qt6-qtserialport-devel gtest-devel gmock-devel
  Arch      sudo pacman -S --needed cmake gcc qt6-base qt6-serialport gtest
  openSUSE  sudo zypper install cmake gcc-c++ qt6-widgets-devel qt6-serialport-devel qt6-test-devel gtest gmock
  Homebrew  brew install cmake qt googletest
  MSYS2     pacman -S --needed mingw-w64-ucrt-x86_64-{gcc,cmake,ninja,qt6-base,qt6-serialport,gtest}
(SKIP_SETUP=1 skips this check.)
EOF
if ! command -v cmake >/dev/null 2>&1; then
  echo "setup.sh: cmake is not installed" >&2
  exit 1
fi
if ! command -v c++ >/dev/null 2>&1 && ! command -v g++ >/dev/null 2>&1 &&
   ! command -v clang++ >/dev/null 2>&1; then
  echo "setup.sh: no C++ compiler (c++, g++ or clang++) is installed" >&2
  exit 1
fi
echo "setup.sh: CMake and a C++ compiler are here; CMake reports whatever else is missing." >&2
