#!/usr/bin/env bash
# Copies the pictures that the DPI tests took of each window into docs/ as PNG files, for the
# README: at 96 DPI as docs/<window>.png, at 144 and 192 DPI as docs/<window>-<dpi>.png.
# Run scripts/test.sh first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shots="${VANTEL_BUILD:-$root/build}/windows/e2e-screenshots"
for name in main-window statistics documents options about; do
    convert "$shots/$name-96.bmp" "$root/docs/$name.png"
    for dpi in 144 192; do
        convert "$shots/$name-$dpi.bmp" "$root/docs/$name-$dpi.png"
    done
done
echo "update-screenshots: docs/ now holds the pictures from $shots"
