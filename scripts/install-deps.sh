#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Corvelle
# need. Only missing packages are installed, so a second run is quick.
set -euo pipefail

PACKAGES=(
  # build
  cmake g++ pkg-config ninja-build ccache make
  # Qt 6
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins
  qt6-multimedia-dev libqt6multimedia6
  # storage and spreadsheets
  libsqlite3-dev sqlite3 libxlsxwriter-dev libfreexl-dev
  # tests, benchmarks, fuzzing
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  libtinyxml2-dev libpugixml-dev
  # fonts metric-compatible with Times New Roman and Arial (and one with
  # Chinese and Japanese glyphs for such names), PDF inspection,
  # an independent .xls reader for the tests
  fonts-liberation fonts-wqy-microhei fontconfig poppler-utils libspreadsheet-parseexcel-perl
)

# Only for regenerating the spreadsheet fixtures of the exchange tests
# (tests/exchange/fixtures/make-fixtures.py); the tests themselves do not
# need them, and the LibreOffice read-back test skips without soffice.
if [ "${CORVELLE_FIXTURE_TOOLS:-0}" = 1 ]; then
  PACKAGES+=(libreoffice-calc-nogui python3-uno gnumeric)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq || true
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
