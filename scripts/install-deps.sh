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
  libsqlite3-dev sqlite3 libxlsxwriter-dev libfreexl-dev libminizip-dev
  # tests, benchmarks, fuzzing
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  libtinyxml2-dev libpugixml-dev
  # fonts metric-compatible with Times New Roman and Arial (and one with
  # Chinese and Japanese glyphs for such names), PDF inspection,
  # an independent .xls reader for the tests
  fonts-liberation fonts-wqy-microhei fontconfig poppler-utils libspreadsheet-parseexcel-perl
  # a private CUPS server with a cups-pdf queue for the printing tests
  cups printer-driver-cups-pdf
  # the trays a queue offers (its PPD, or IPP media-source)
  libcups2-dev
  # the text collation (ICU) and the comma locales the tests also run in
  libicu-dev locales
  # checking the installed desktop entry, AppStream metadata and man pages
  desktop-file-utils appstream man-db
  # label sheet templates (XML data files only) read by the label product catalogue
  glabels-data
  # a shared address book on a PostgreSQL server: the client library, and
  # the server the tests start privately
  libpq-dev postgresql
)

# Only for regenerating the spreadsheet fixtures of the exchange tests
# (tests/exchange/fixtures/make-fixtures.py); the tests themselves do not
# need them, and the LibreOffice read-back test skips without soffice.
if [ "${CORVELLE_FIXTURE_TOOLS:-0}" = 1 ]; then
  PACKAGES+=(libreoffice-calc-nogui python3-uno gnumeric)
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# The test suite runs again under German and Czech: generate those locales.
make_locales() {
  local missing_locales=()
  for l in de_DE cs_CZ; do
    locale -a 2>/dev/null | grep -qix "$l.utf8" || missing_locales+=("$l")
  done
  [ ${#missing_locales[@]} -eq 0 ] && return 0
  for l in "${missing_locales[@]}"; do
    $SUDO sed -i "s/^# *\($l.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  done
  $SUDO locale-gen >/dev/null
}

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  make_locales
  exit 0
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq || true
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
make_locales
