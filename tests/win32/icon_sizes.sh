#!/usr/bin/env bash
# An icon file as Windows uses it: every size Explorer and the taskbar ask for, each image really
# that size, the 256 px one PNG-compressed (ImageMagick reports each image's own size and format).
#   icon_sizes.sh <file.ico>
set -euo pipefail
want='16:ICO 20:ICO 24:ICO 32:ICO 40:ICO 48:ICO 64:ICO 256:PNG '
got=$(/usr/bin/identify -format '%w:%m ' "${1:?icon file}" | tr ' ' '\n' | sort -n | tr '\n' ' ' | sed 's/^ *//')
echo "$1: $got"
[ "$got" = "$want" ] || { echo "FAIL: wanted $want"; exit 1; }
