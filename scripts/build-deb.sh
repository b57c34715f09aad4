#!/usr/bin/env bash
# Builds the Debian packages (corvelle, libtevrokit1, libtevroxml1 and their
# -dev packages) from this source tree with dpkg-buildpackage and checks them
# with lintian. The packages land in dist/deb/. Not part of `make test`.
#
#   scripts/build-deb.sh [--check]    # --check also runs the test suite in the build
#
# On a shared machine run it through the build lock:
#   flock /tmp/corvelle-build.lock scripts/build-deb.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
tools=(dpkg-dev debhelper fakeroot lintian)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -ne 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq || true
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
bash scripts/install-deps.sh

if [ "${1:-}" != "--check" ]; then export DEB_BUILD_OPTIONS="nocheck ${DEB_BUILD_OPTIONS:-}"; fi
export DEB_BUILD_OPTIONS="parallel=${JOBS:-2} ${DEB_BUILD_OPTIONS:-}"

# dpkg-buildpackage writes the packages into the parent folder; build from a
# clean copy of the committed tree (HEAD), so nothing uncommitted leaks in.
work=$(mktemp -d /tmp/corvelle-deb.XXXXXX)
trap 'rm -rf "$work"' EXIT
git archive --format=tar --prefix=corvelle/ HEAD | tar -x -C "$work"
(cd "$work/corvelle" && dpkg-buildpackage -b -us -uc)

mkdir -p dist/deb
rm -f dist/deb/*.deb dist/deb/*.changes dist/deb/*.buildinfo
cp "$work"/*.deb "$work"/*.changes "$work"/*.buildinfo dist/deb/
echo "== lintian"
status=0
lintian --fail-on error --info dist/deb/*.changes || status=$?
ls -l dist/deb
exit $status
