#!/usr/bin/env bash
# Builds the Win32 layer with mingw-w64 and runs its tests under wine64 in a fresh, throw-away
# wine prefix. Exits 77 (reported as skipped) only when the cross compiler or wine is missing.
#   run_win32_tests.sh <source folder> <build folder>
set -euo pipefail

src=${1:?source folder}
out=${2:?build folder}

cxx=$(command -v x86_64-w64-mingw32-g++-posix || command -v x86_64-w64-mingw32-g++ || true)
wine=${QUORVEL_WINE64:-/usr/lib/wine/wine64}
[ -x "$wine" ] || wine=$(command -v wine64 || true)
if [ -z "$cxx" ] || [ -z "$wine" ] || [ ! -x "$wine" ]; then
    echo "mingw-w64 or wine64 is not installed: skipping the Win32 tests (scripts/setup --test installs both)"
    exit 77
fi
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || true)

mkdir -p "$out"
exe="$out/tst_win32.exe"
"$cxx" -std=c++20 -municode -O0 -Wall -Wextra -static -I"$src/src" \
    "$src/tests/win32/tst_win32.cpp" \
    "$src/src/shell/SystemFolders_win.cpp" \
    "$src/src/about/Registry_win.cpp" \
    "$src/src/about/RegistryValue.cpp" \
    -lole32 -luuid -lshell32 -ladvapi32 -o "$exe"

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-wine.XXXXXX")
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
# No Mono or Gecko prompts, and no menu entries or file associations written into the host's desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export XDG_DATA_HOME="$work/xdg-data" XDG_CONFIG_HOME="$work/xdg-config"
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
    [ -n "$wineserver" ] && "$wineserver" -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

"$wine" wineboot -i >/dev/null 2>&1

key='HKLM\Software\TanvicQuorvelTest'
reg() { "$wine" reg add "$key" /f "$@" >/dev/null; }
reg /v Sz /t REG_SZ /d 'C:\Program Files\Common Files\Microsoft Shared\MSInfo\msinfo32.exe'
reg /v Chinese /t REG_SZ /d '系统信息'
reg /v Dword /t REG_DWORD /d 6699
reg /v Expand /t REG_EXPAND_SZ /d '%SystemRoot%\system32\msinfo32.exe'

"$wine" "$exe"
