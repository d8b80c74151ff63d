#!/usr/bin/env bash
# What a packaging run leaves beside the Windows zip: SHA256SUMS names the zip and matches every
# file it lists; the program in the zip carries its icon at every size, 256 px as PNG (its icon
# resource read back with icoutils' wrestool).
#   release_files.sh <zip>
# Exits 77 (skipped) when the zip has not been made (scripts/package-windows makes it).
set -euo pipefail
zip=${1:?zip}
[ -f "$zip" ] || { echo "no package at $zip: run scripts/package-windows first"; exit 77; }
command -v wrestool >/dev/null || { echo "wrestool is not installed (scripts/setup --test installs it)"; exit 1; }
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-release-files.XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read("TanvicQuorvel/TanvicQuorvel.exe"))' \
    "$zip" >"$work/TanvicQuorvel.exe"
wrestool -x -t 14 "$work/TanvicQuorvel.exe" >"$work/program.ico"
python3 "$here/check_icon.py" "$work/program.ico"
cd "$(dirname "$zip")"
name=$(basename "$zip")
grep -q "^[0-9a-f]\{64\} [ *]$name\$" SHA256SUMS || { echo "FAIL: SHA256SUMS does not list $name"; exit 1; }
sha256sum --strict -c SHA256SUMS
