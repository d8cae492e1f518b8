#!/usr/bin/env bash
# Builds the Debian package of Velka Tablewright and checks it with lintian.
#
#   bash scripts/package.sh
#
# The program is built afresh in build/package with Debian's hardening flags (dpkg-buildflags),
# packaged by CPack (cmake/Packaging.cmake) into out/, and the package goes through lintian,
# which must find no error. Install it with `sudo apt install ./out/velka-tablewright_*.deb`.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/apt.sh
install_groups build program package

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
build=build/package
# The prefix of the package, so that the private module goes where Debian keeps a package's
# private libraries (lib/<multiarch>/velka-tablewright), outside the folders ldconfig reads.
cmake -S . -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr \
    -DVELKA_BUILD_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DCMAKE_MODULE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build"

mkdir -p out
rm -f out/velka-tablewright_*.deb
(cd "$build" && cpack -G DEB -B "$PWD/cpack")
cp "$build"/cpack/velka-tablewright_*.deb out/
package=$(ls out/velka-tablewright_*.deb)

dpkg-deb --info "$package"
# The players' page's server and QR code come from these, found by dpkg-shlibdeps in its module;
# the round's sounds from the library the program loads itself.
for library in libmicrohttpd12 libqrencode4 libcanberra0; do
    dpkg-deb --field "$package" Depends | grep -q "$library" ||
        { echo "The package does not depend on $library" >&2; exit 1; }
done
echo "lintian $package:"
# lintian refuses nothing for being root, but says so; its tags are what matters here.
lintian --fail-on error --display-info "$package"
echo "Built $package"
