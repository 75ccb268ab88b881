#!/usr/bin/env bash
# Copies the pictures that the end-to-end tests took of each window into docs/ as PNG files,
# for the README. Run scripts/test.sh first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shots="${VANTEL_BUILD:-$root/build}/windows/e2e-screenshots"
for name in main-window statistics documents options about; do
    convert "$shots/$name.bmp" "$root/docs/$name.png"
done
echo "update-screenshots: docs/ now holds the pictures from $shots"
