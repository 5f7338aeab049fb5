#!/usr/bin/env bash
# The Debian package of a build: made with cpack, unpacked with dpkg-deb, it holds the
# programs, the data, the desktop files, the icon and the manual pages; it depends on the
# libraries the programs link; lintian finds no error in it; the desktop entry, the
# AppStream data and the manual pages pass their own validators. Exit 77 (skipped) when the
# Debian tools are missing.
#
#   package_test.sh BUILD_DIR          (DEB_HOST_ARCH=arm64 for a cross build's package)
set -euo pipefail
build=$1
for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli man; do
  command -v "$tool" >/dev/null || { echo "package_test: $tool is not installed (scripts/deps)"; exit 77; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package_test: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 || fail "cpack: $(cat "$scratch/cpack.log")"
deb=$(echo "$scratch"/kra_*_"${DEB_HOST_ARCH:-$(dpkg --print-architecture)}".deb)
[[ -f $deb ]] || fail "no kra_VERSION_ARCH.deb made: $(ls "$scratch")"
root=$scratch/root
dpkg-deb -x "$deb" "$root"

for file in usr/bin/{kra,kra-capture,kra-check,kra-view,kra-assets} usr/share/kra/autoexec.bat \
    usr/share/applications/kra.desktop usr/share/metainfo/kra.metainfo.xml \
    usr/share/icons/hicolor/{64x64,128x128,256x256,512x512}/apps/kra.png \
    usr/share/man/man6/kra.6.gz usr/share/man/man1/{kra-capture,kra-check,kra-view,kra-assets}.1.gz \
    usr/share/doc/kra/copyright usr/share/doc/kra/changelog.gz; do
  [[ -f $root/$file ]] || fail "$file is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libsdl2 libminizip libopenmpt fonts-dejavu-core fonts-dejavu-extra; do
  [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

lintian --fail-on error "$deb" 2>/dev/null || fail "lintian finds errors"
desktop-file-validate "$root/usr/share/applications/kra.desktop" || fail "the desktop entry does not validate"
! appstreamcli validate --no-net "$root/usr/share/metainfo/kra.metainfo.xml" | grep '^E:' ||
  fail "the AppStream data has errors"
for page in "$root"/usr/share/man/man*/*.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [[ -z $warnings ]] || fail "${page##*/}: $warnings"
done
echo "package_test: ${deb##*/}, $(du -k "$deb" | cut -f1) kB, lintian clean of errors"
