#!/usr/bin/env bash
# Builds the Tevroxml fuzz target with clang (libFuzzer, ASan, UBSan) and runs it
# for a bounded time: xml/fuzz/run-fuzz.sh [seconds]   (default 60)
# The growing corpus and any crash artifacts go to fuzz-out/xml/.
set -euo pipefail
seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${FUZZ_OUT:-$root/fuzz-out/xml}
mkdir -p "$out/corpus" "$out/artifacts"

flock /tmp/corvelle-build.lock clang++ -std=c++20 -O1 -g -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -DTEVROXML_BUILD -I"$root" \
  "$root"/xml/xmlarena.cpp "$root"/xml/xmlinput.cpp "$root"/xml/xmlelement.cpp "$root"/xml/xmlparser.cpp \
  "$root"/xml/xmldocument.cpp "$root"/xml/xmlwriter.cpp "$here/fuzz_xml.cpp" \
  -o "$out/fuzz_xml"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
exec "$out/fuzz_xml" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
  -dict="$here/xml.dict" -artifact_prefix="$out/artifacts/" -print_final_stats=1 \
  "$out/corpus" "$here/corpus"
