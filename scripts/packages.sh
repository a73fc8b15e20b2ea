# Debian packages the build, the tests and the demo need. Sourced by the scripts.
VGX52_PACKAGES="cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev \
qt6-base-dev fonts-dejavu-core xvfb xauth \
python3 python3-intelhex python3-crcmod gcc-avr binutils-avr avr-libc srecord \
dpkg-dev file lintian man-db librsvg2-bin icoutils desktop-file-utils doxygen make"
# The Windows build (scripts/build-windows), and its tests under Wine
# (scripts/test-windows).
VGX52_WINDOWS_PACKAGES="cmake ninja-build g++-mingw-w64-x86-64-posix googletest nsis"
VGX52_WINE_PACKAGES="wine64 python3 xvfb netpbm"
# What .ci/run needs beyond VGX52_PACKAGES: the formatting check and the
# clang build with libFuzzer.
VGX52_CI_PACKAGES="clang-format clang libclang-rt-14-dev"

# Installs the packages named (default: VGX52_PACKAGES) that are missing.
vgx52_install_packages() {
  local missing=()
  for p in ${1:-$VGX52_PACKAGES}; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq "${missing[@]}"
  else
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    return 1
  fi
}
