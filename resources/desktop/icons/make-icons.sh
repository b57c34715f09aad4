#!/usr/bin/env bash
# Renders the PNG sizes of the hicolor theme from the scalable icon. Run it
# after changing the SVG and commit the PNG files; the build does not need it.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256 512; do
  rsvg-convert -w "$size" -h "$size" com.darvenix.Corvelle.svg -o "com.darvenix.Corvelle-$size.png"
done
