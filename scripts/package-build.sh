# Sourced by scripts/check-package and scripts/check-sdk: the package build
# (Release, Debian's hardening flags, no tests) in $VGX52_PACKAGE_BUILD
# (default build-package), made or brought up to date by vgx52_package_build,
# with its log in package.log there.
vgx52_package_build_dir() { echo "${VGX52_PACKAGE_BUILD:-$here/build-package}"; }

vgx52_package_build() {
  local build
  build=$(vgx52_package_build_dir)
  # The flags a Debian build uses, hardening included (read at the first
  # configuration of the build folder).
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
  export CXXFLAGS CFLAGS LDFLAGS
  # The prefix of the package: the libraries go to Debian's multiarch folder.
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVGX52_SANITIZE=OFF \
    -DVGX52_BUILD_TESTS=OFF -DVGX52_REQUIRE_SDK_REFERENCE=ON -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
  echo "Building in $build (log: $build/package.log)"
  if ! cmake --build "$build" -j"${VGX52_JOBS:-$(nproc)}" >"$build/package.log" 2>&1; then
    tail -n 40 "$build/package.log" >&2
    return 1
  fi
}
