#!/usr/bin/env bash
# CPack makes the Debian package of a build: it holds every file of an installation under /usr,
# depends on the packages of the libraries the programs link (found by dpkg-shlibdeps) and
# recommends lame.
# Usage: package_test.sh BUILD_FOLDER LIBDIR APP_ID
set -uo pipefail
source "$(dirname "$0")/package_support.sh"
build=$1 libdir=$2 app=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; exit 1; }
debs=("$work"/*.deb)
[ -f "${debs[0]}" ] || { echo "no .deb made"; cat "$work/cpack.log"; exit 1; }
deb=${debs[0]}

contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
while read -r file; do
    grep -qxF "./usr/$file" <<<"$contents" || fail "the package lacks /usr/$file"
done < <(expected_files "$libdir" "$app")

depends=$(dpkg-deb --field "$deb" Depends)
for package in libc6 libqt6widgets6 libavformat libtag; do
    grep -q "$package" <<<"$depends" || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb --field "$deb" Recommends)" = "lame" ] || fail "Recommends is not lame"
finish
