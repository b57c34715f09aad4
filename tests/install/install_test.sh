#!/usr/bin/env bash
# install_test.sh BUILD SOURCE VERSION [FLAGS]: see CMakeLists.txt beside this
# file. FLAGS are added when outside programs are compiled.
set -uo pipefail
build=$1 source=$2 version=$3 flags=${4:-}
# Qt keeps some allocations until exit; a sanitizer build's leak report of the
# outside programs says nothing about the installation.
[ -n "$flags" ] && export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
work=$(mktemp -d /tmp/corvelle-install.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

dest=$work/dest
if ! DESTDIR=$dest cmake --install "$build" >"$work/install.log" 2>&1; then
  cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1
fi
prefix_path=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
prefix=$dest$prefix_path
pcfile=$(find "$dest" -name tevroxml.pc | head -1)
[ -n "$pcfile" ] || { echo "FAIL: no tevroxml.pc installed"; exit 1; }
libdir=$(dirname "$(dirname "$pcfile")")
echo "prefix $prefix, libdir $libdir"

# --- the files themselves ---------------------------------------------------
for f in bin/tesmar bin/tesmar-newdb bin/tesmar-datagen bin/tevroxml-cat libexec/corvelle/tesmar-xlsread; do
  [ -x "$prefix/$f" ] || fail "$f not installed"
done
[ -f "$(find "$prefix" -name unocase.so -path "*corvelle*" | head -1)" ] || fail "unocase.so not installed"
for lib in tevroxml tevrokit; do
  soname=$(readelf -d "$libdir/lib$lib.so.$version" 2>/dev/null | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
  [ "$soname" = "lib$lib.so.${version%%.*}" ] || fail "lib$lib: SONAME '$soname'"
  [ "$(readlink "$libdir/lib$lib.so.${version%%.*}")" = "lib$lib.so.$version" ] || fail "lib$lib.so.${version%%.*} link"
  [ -L "$libdir/lib$lib.so" ] || fail "lib$lib.so development link"
  [ -f "$libdir/cmake/${lib^}/${lib^}Config.cmake" ] || fail "${lib^}Config.cmake"
  [ -f "$libdir/cmake/${lib^}/${lib^}ConfigVersion.cmake" ] || fail "${lib^}ConfigVersion.cmake"
done
headers=$(cd "$prefix/include" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
expected="./tevrokit/tvexport.h ./tevrokit/tvformat.h ./tevrokit/tvimage.h ./tevrokit/tvimagedlg.h ./tevrokit/tvimagefiles.h ./tevrokit/tvmessage.h ./tevrokit/tvparse.h ./tevrokit/tvstrings.h ./tevroxml/tevroxml.h "
[ "$headers" = "$expected" ] && pass "public headers only" || fail "installed headers: $headers"
export PKG_CONFIG_PATH=$libdir/pkgconfig
export LD_LIBRARY_PATH=$libdir
[ "$(pkg-config --modversion tevroxml)" = "$version" ] || fail "tevroxml.pc version"
[ "$(pkg-config --modversion tevrokit)" = "$version" ] || fail "tevrokit.pc version"
# Each public header stands alone on the installed include folders.
for h in "$prefix"/include/tevroxml/*.h; do
  echo "#include <$(basename "$h")>" | c++ -std=c++17 -fsyntax-only -x c++ - $(pkg-config --cflags tevroxml) \
    || fail "$(basename "$h") does not compile alone"
done
for h in "$prefix"/include/tevrokit/*.h; do
  echo "#include <$(basename "$h")>" | c++ -std=c++17 -fPIC -fsyntax-only -x c++ - $(pkg-config --cflags tevrokit) \
    || fail "$(basename "$h") does not compile alone"
done

# --- outside programs: the README examples ----------------------------------
extract() { # README NAME: the cpp block after "<!-- example: NAME -->"
  awk -v tag="<!-- example: $2 -->" '$0==tag{on=1;next} on&&/^```cpp/{grab=1;next} grab&&/^```/{exit} grab{print}' "$1"
}
mkdir -p "$work/outside"
extract "$source/xml/README.md" tevroxml >"$work/outside/xmldemo.cpp"
extract "$source/uikit/README.md" tevrokit >"$work/outside/kitdemo.cpp"
[ -s "$work/outside/xmldemo.cpp" ] && [ -s "$work/outside/kitdemo.cpp" ] || fail "README examples not found"
check_xml_demo() { # PROGRAM HOW
  local out; out=$("$1" 2>&1)
  if [ $? -eq 0 ] && [ "$(echo "$out" | head -1)" = "Ann" ] && echo "$out" | grep -q 'note="says ""hi"""'; then
    pass "tevroxml program built with $2"
  else fail "tevroxml program built with $2: $out"; fi
}
check_kit_demo() {
  local out; out=$(QT_QPA_PLATFORM=offscreen "$1" 2>&1)
  if [ $? -eq 0 ] && echo "$out" | grep -qx "box 100: Width 250.50 mm is outside 10..200 mm."; then
    pass "tevrokit program built with $2"
  else fail "tevrokit program built with $2: $out"; fi
}
cd "$work/outside"
c++ -std=c++17 $flags xmldemo.cpp -o xmldemo-pc $(pkg-config --cflags --libs tevroxml) && check_xml_demo ./xmldemo-pc pkg-config \
  || fail "tevroxml program does not build with pkg-config"
c++ -std=c++17 $flags -fPIC kitdemo.cpp -o kitdemo-pc $(pkg-config --cflags --libs tevrokit) && check_kit_demo ./kitdemo-pc pkg-config \
  || fail "tevrokit program does not build with pkg-config"
cat >CMakeLists.txt <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(outside CXX)
find_package(Tevroxml 1.0 REQUIRED)
find_package(Tevrokit 1.0 REQUIRED)
add_executable(xmldemo-cmake xmldemo.cpp)
target_link_libraries(xmldemo-cmake PRIVATE Tevroxml::tevroxml)
add_executable(kitdemo-cmake kitdemo.cpp)
target_link_libraries(kitdemo-cmake PRIVATE Tevrokit::tevrokit)
CMAKE
if cmake -S . -B b -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="$flags" >cmake.log 2>&1 &&
   cmake --build b >>cmake.log 2>&1; then
  check_xml_demo b/xmldemo-cmake find_package
  check_kit_demo b/kitdemo-cmake find_package
else
  cat cmake.log; fail "outside CMake project with find_package"
fi
# A major version the package does not have is refused.
cat >b2.cmake <<'CMAKE'
find_package(Tevroxml 2.0 QUIET)
if(Tevroxml_FOUND)
  message(FATAL_ERROR "version 2.0 accepted")
endif()
CMAKE
cmake -DCMAKE_PREFIX_PATH="$prefix" -P b2.cmake >/dev/null 2>&1 || fail "Tevroxml 2.0 accepted"

# --- desktop integration -------------------------------------------------------
desktop=$prefix/share/applications/com.darvenix.Corvelle.desktop
metainfo=$prefix/share/metainfo/com.darvenix.Corvelle.metainfo.xml
desktop-file-validate "$desktop" && pass "desktop-file-validate" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" >"$work/as.log" 2>&1 && pass "appstreamcli validate" \
  || { cat "$work/as.log"; fail "appstreamcli validate"; }
grep -qx "Exec=tesmar" "$desktop" || fail "desktop entry does not start tesmar"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "scalable icon"
for size in 16 22 24 32 48 64 128 256 512; do
  png=$prefix/share/icons/hicolor/${size}x$size/apps/$icon.png
  [ "$(file -b "$png" 2>/dev/null | grep -o "$size x $size")" = "$size x $size" ] || fail "icon $size: $(file -b "$png")"
done
for p in tesmar tesmar-newdb tesmar-datagen tevroxml-cat; do
  page=$prefix/share/man/man1/$p.1
  if [ ! -f "$page" ]; then fail "no man page for $p"; continue; fi
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man page $p: $warnings"
done
v=$("$prefix/bin/tesmar" --version)
[ "$v" = "tesmar (Corvelle) $version" ] && pass "tesmar --version" || fail "tesmar --version: $v"

# --- the installed program's own folder -----------------------------------------
export QT_QPA_PLATFORM=offscreen TESMAR_AUTOANSWER=ok
mkdir -p "$work/home" "$work/data" "$work/elsewhere"
cd "$work/elsewhere"
out=$(HOME=$work/home XDG_DATA_HOME=$work/data "$prefix/bin/tesmar" --check 2>&1); rc=$?
if [ $rc -eq 0 ] && [ -f "$work/data/Corvelle/envdb.mdb" ] && echo "$out" | grep -q "A new address book was created in $work/data/Corvelle."; then
  pass "first start creates \$XDG_DATA_HOME/Corvelle/envdb.mdb"
else fail "first start with XDG_DATA_HOME (rc $rc): $out"; fi
[ -f "$work/data/Corvelle/eatitem.dat" ] || fail "game sound not copied to the new program folder"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "files left in the working directory: $(ls -A "$work/elsewhere")"
out=$(HOME=$work/home XDG_DATA_HOME=$work/data "$prefix/bin/tesmar" --check 2>&1); rc=$?
[ $rc -eq 0 ] && ! echo "$out" | grep -q "A new address book" && pass "second start opens it quietly" || fail "second start (rc $rc): $out"
# The folder holds a real address book: an address added there is found by export and import.
"$prefix/bin/tesmar-datagen" --addresses 30 --folders 1 "$work/data/Corvelle/envdb.mdb" >/dev/null || fail "tesmar-datagen"
out=$(HOME=$work/home XDG_DATA_HOME=$work/data "$prefix/bin/tesmar" --export "$work/all.xls" --folder / --subfolders 2>&1) \
  || fail "export from the installed program: $out"
out=$(HOME=$work/home XDG_DATA_HOME=$work/data TESMAR_AUTOANSWER=ok "$prefix/bin/tesmar" --import "$work/all.xls" \
  --folder / --duplicates add 2>&1)
echo "$out" | grep -q "Imported addresses: 30" && pass "import through the installed .xls reader" \
  || fail "import through the installed .xls reader: $out"
# Without XDG_DATA_HOME the folder is ~/.local/share/Corvelle.
out=$(env -u XDG_DATA_HOME HOME=$work/home "$prefix/bin/tesmar" --check 2>&1); rc=$?
[ $rc -eq 0 ] && [ -f "$work/home/.local/share/Corvelle/envdb.mdb" ] && pass "default ~/.local/share/Corvelle" \
  || fail "default data folder (rc $rc): $out"
# A relative XDG_DATA_HOME is not a base directory: ~/.local/share is used.
out=$(HOME=$work/home4 XDG_DATA_HOME=relative/data "$prefix/bin/tesmar" --check 2>&1); rc=$?
[ $rc -eq 0 ] && [ -f "$work/home4/.local/share/Corvelle/envdb.mdb" ] && [ ! -e "$work/elsewhere/relative" ] \
  && pass "relative XDG_DATA_HOME ignored" || fail "relative XDG_DATA_HOME (rc $rc): $out"
# A working directory with its own database stays the program directory.
mkdir -p "$work/office" && "$prefix/bin/tesmar-newdb" "$work/office/envdb.mdb" >/dev/null
cd "$work/office"
out=$(HOME=$work/home2 XDG_DATA_HOME=$work/data2 "$prefix/bin/tesmar" --check 2>&1); rc=$?
[ $rc -eq 0 ] && [ ! -e "$work/data2/Corvelle" ] && pass "working directory with envdb.mdb is used" \
  || fail "working directory with envdb.mdb (rc $rc): $out"
# envelope.ini in the data folder naming a database that cannot be opened ends with message 1.
mkdir -p "$work/data3/Corvelle" && echo "dbfile=missing/envdb.mdb" >"$work/data3/Corvelle/envelope.ini"
cd "$work/elsewhere"
out=$(HOME=$work/home XDG_DATA_HOME=$work/data3 "$prefix/bin/tesmar" --check 2>&1); rc=$?
[ $rc -ne 0 ] && echo "$out" | grep -q "^error 1: Fatal error occurred when opening database" && [ ! -e "$work/data3/Corvelle/envdb.mdb" ] \
  && pass "unopenable configured database ends with message 1" || fail "configured database that cannot be opened (rc $rc): $out"

if [ $failures -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "all install checks passed"
