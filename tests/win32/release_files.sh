#!/usr/bin/env bash
# What a packaging run leaves beside the Windows zip: SHA256SUMS names the zip and matches every
# file it lists; the program in the zip carries its icon at every size, 256 px as PNG.
#   release_files.sh <zip>
# Exits 77 (skipped) when the zip has not been made (scripts/package-windows makes it).
set -euo pipefail
zip=${1:?zip}
[ -f "$zip" ] || { echo "no package at $zip: run scripts/package-windows first"; exit 77; }
check_icon=$(cd "$(dirname "$0")" && pwd)/check_icon.py
cd "$(dirname "$zip")"
name=$(basename "$zip")
grep -q "^[0-9a-f]\{64\} [ *]$name\$" SHA256SUMS || { echo "FAIL: SHA256SUMS does not list $name"; exit 1; }
sha256sum --strict -c SHA256SUMS
python3 "$check_icon" "$zip"
