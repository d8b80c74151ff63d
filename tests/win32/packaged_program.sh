#!/usr/bin/env bash
# The Windows zip as a user gets it: unpacked into a fresh wine prefix, into a folder whose name
# has a space and Chinese, started under wine64 in a private X server with a window manager (run
# it through tests/e2e/run-in-x), given a GBK word bank with Chinese meanings, closed through its
# close box. Then: the bank is back byte for byte, the two settings are strings under
# HKCU\Software\VB and VBA Program Settings\TanvicQuorvel\设置, and the Start-menu shortcut
# Tanvic软件\TanvicQuorvel.lnk exists. Also: the program's icon resource (read back with
# icoutils' wrestool) holds every size, 256 px as PNG, and SHA256SUMS beside the zip matches it.
#   packaged_program.sh <zip> [screenshot.png]
# Exits 77 (skipped) when the zip has not been made (scripts/package-windows makes it).
set -euo pipefail
zip=${1:?zip}
shot=${2:-}
[ -f "$zip" ] || { echo "no package at $zip: run scripts/package-windows first"; exit 77; }
[ -n "${DISPLAY:-}" ] || { echo "needs an X server: run through tests/e2e/run-in-x"; exit 1; }

wine=${QUORVEL_WINE64:-/usr/lib/wine/wine64}
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-package-test.XXXXXX")
export WINEPREFIX=$work/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export XDG_DATA_HOME=$work/xdg-data XDG_CONFIG_HOME=$work/xdg-config
export LC_ALL=C.UTF-8
unset WINEPATH QT_QPA_PLATFORM QT_PLUGIN_PATH
cleanup() {
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true
    "$wineserver" -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; exit 1; }
# A check whose failure leaves the others worth making.
miss() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$wine" wineboot -i >/dev/null 2>&1
"$wineserver" -w

# Unpacked by a reader that trusts the UTF-8 flag and nothing else.
folder_name='背单词 工具'
base=$WINEPREFIX/drive_c/$folder_name
python3 - "$zip" "$base" <<'PY'
import sys, zipfile
src, dest = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(src) as z:
    infos = z.infolist()
    unflagged = [i.filename for i in infos if not i.filename.isascii() and not i.flag_bits & 0x800]
    if unflagged:
        sys.exit('names stored without the UTF-8 flag: %s' % unflagged)
    names = {i.filename for i in infos}
    for want in ('TanvicQuorvel/TanvicQuorvel.exe', 'TanvicQuorvel/常用英语单词443个.txt',
                 'TanvicQuorvel/platforms/qwindows.dll', 'TanvicQuorvel/styles/qwindowsvistastyle.dll'):
        if want not in names:
            sys.exit('missing from the zip: ' + want)
    if any(not n.startswith('TanvicQuorvel/') for n in names):
        sys.exit('the zip holds more than the one folder')
    z.extractall(dest)
PY
app=$base/TanvicQuorvel

wrestool -x -t 14 "$app/TanvicQuorvel.exe" >"$work/program.ico" &&
    "$(dirname "$0")/icon_sizes.sh" "$work/program.ico" || miss "the program's icon lacks a size"
(cd "$(dirname "$zip")" && grep -q "^[0-9a-f]\{64\} [ *]$(basename "$zip")\$" SHA256SUMS && sha256sum --strict -c SHA256SUMS) ||
    miss "SHA256SUMS beside the zip does not list it or does not match"

# A GBK bank with Chinese meanings and the characters that trip converters: full-width punctuation,
# GBK's extension rows, ü, kana, Greek and Cyrillic, box drawing.
python3 - "$app/wb.dcb" <<'PY'
import sys
pairs = [
    ("apple", "苹果"), ("abandon", "放弃；抛弃（某人）"), ("lü", "绿（拼音）"),
    ("kanji", "漢字，かな，カナ"), ("alpha", "α，β，γ"), ("privet", "Привет"),
    ("box", "┌─┐└─┘"), ("rare", "丂丄丅乚亐"), ("yen", "￥１００"), ("dash", "——…"),
]
text = "".join(w + "  " + m + "\r\n" for w, m in pairs)
open(sys.argv[1], "wb").write(text.encode("gbk"))
PY
cp "$app/wb.dcb" "$work/bank-before"

( cd "$app" && exec "$wine" "C:\\$folder_name\\TanvicQuorvel\\TanvicQuorvel.exe" ) >"$work/program.log" 2>&1 &
pid=$!

window=
for _ in $(seq 1 300); do
    window=$(xdotool search --onlyvisible --name '^TanvicQuorvel$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$work/program.log"; fail "the program ended before showing its window"; }
    sleep 0.2
done
[ -n "$window" ] || { cat "$work/program.log"; fail "no main window within a minute"; }
sleep 2
[ -n "$shot" ] && import -window root "$shot" 2>/dev/null || true

# The close box, as the window manager delivers it.
wmctrl -i -c "$window"
for _ in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
done
kill -0 "$pid" 2>/dev/null && fail "the program is still running a minute after its close box"
pid=
"$wineserver" -w

if cmp "$work/bank-before" "$app/wb.dcb"; then
    echo "ok: the GBK bank came back byte for byte"
else
    od -c "$app/wb.dcb" | head -20
    miss "the word bank did not come back byte for byte"
fi

# reg export writes UTF-16 and keeps Chinese names (reg query through a pipe does not).
key='HKCU\Software\VB and VBA Program Settings\TanvicQuorvel'
"$wine" reg export "$key" "Z:${work//\//\\}\\settings.reg" /y >/dev/null 2>&1 || fail "no settings key $key"
iconv -f UTF-16 -t UTF-8 "$work/settings.reg" | tr -d '\r' >"$work/settings.txt"
if grep -qxF '[HKEY_CURRENT_USER\Software\VB and VBA Program Settings\TanvicQuorvel\设置]' "$work/settings.txt" &&
   grep -qxF '"延时"="10"' "$work/settings.txt" && grep -qxF '"次序"="顺序"' "$work/settings.txt"; then
    echo "ok: settings stored as strings under $key\\设置"
else
    cat "$work/settings.txt"
    miss "the settings are not the strings 延时=10 and 次序=顺序 under $key\\设置"
fi

link=$(find "$WINEPREFIX/drive_c/users" -path '*/Start Menu/Programs/Tanvic软件/TanvicQuorvel.lnk' -print -quit)
if [ -n "$link" ]; then
    echo "ok: Start-menu shortcut at ${link#$WINEPREFIX/}"
else
    miss "no Start-menu shortcut Tanvic软件\\TanvicQuorvel.lnk"
fi

# A sign-out, as Windows plays it: first the question (WM_QUERYENDSESSION), which saves and keeps
# the program running, since the sign-out may still be cancelled (WM_ENDSESSION FALSE); then the
# real end (WM_ENDSESSION TRUE), which ends it with the bank whole.
cc=$(command -v x86_64-w64-mingw32-gcc-posix || command -v x86_64-w64-mingw32-gcc || true)
if [ -z "$cc" ]; then
    miss "no mingw-w64 C compiler for the sign-out helper"
else
    "$cc" -O1 -o "$work/endsession.exe" "$(dirname "$0")/endsession.c"
    ( cd "$app" && exec "$wine" "C:\\$folder_name\\TanvicQuorvel\\TanvicQuorvel.exe" ) >"$work/program2.log" 2>&1 &
    pid=$!
    window=
    for _ in $(seq 1 300); do
        window=$(xdotool search --onlyvisible --name '^TanvicQuorvel$' 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        sleep 0.2
    done
    [ -n "$window" ] || fail "no main window at the second start"
    sleep 1
    touch -d '2001-01-01' "$app/wb.dcb"
    touch -d '2002-01-01' "$work/stamp"
    answer=$("$wine" "$work/endsession.exe" query | tr -d '\r')
    sleep 1
    # The list did not change since the start, so the bank is already what it holds: the question
    # must not rewrite it (a changed list is saved there; the background saver keeps it current).
    if kill -0 "$pid" 2>/dev/null && [ "$answer" = 1 ] && ! [ "$app/wb.dcb" -nt "$work/stamp" ]; then
        echo "ok: the sign-out question agrees, leaves an unchanged bank alone, and the program runs on"
    else
        miss "at the sign-out question: answer '$answer', running $(kill -0 "$pid" 2>/dev/null && echo yes || echo no), bank of $(date -r "$app/wb.dcb" +%Y)"
    fi
    "$wine" "$work/endsession.exe" cancel || true
    sleep 1
    kill -0 "$pid" 2>/dev/null && echo "ok: a cancelled sign-out leaves the program running" ||
        miss "the program ended although the sign-out was cancelled"
    "$wine" "$work/endsession.exe" end || true
    for _ in $(seq 1 150); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$pid" 2>/dev/null; then
        miss "the program still runs 30 s after the session ended"
    else
        pid=
        cmp "$work/bank-before" "$app/wb.dcb" && echo "ok: the end of the session ends the program, bank whole" ||
            miss "the bank changed at the end of the session"
    fi
fi
[ "$failures" -eq 0 ]
