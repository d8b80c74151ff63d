#!/usr/bin/env bash
# scripts/package-windows twice in one build folder, with cmake stood in for by a recorder that
# "builds" a tiny Windows program (the real build, signing and zip are CI's): the second run's
# options reach cmake's configure step, and a run without a certificate says in one line that the
# program is not signed.
#   package_windows.sh <source folder>
# Exits 77 (skipped) without the cross compiler.
set -euo pipefail
root=${1:?source folder}
command -v x86_64-w64-mingw32-gcc >/dev/null || { echo "no mingw-w64"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-package-options.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { cat "$work/out" "$work/cmake.log"; echo "FAIL: $*"; exit 1; }

qt=$work/qt
mkdir -p "$work/bin" "$qt/lib/cmake/Qt6" "$qt/bin" "$qt/plugins/platforms" "$qt/plugins/styles"
echo 'int main(void) { return 0; }' | x86_64-w64-mingw32-gcc -x c - -o "$work/tiny.exe"
cp "$work/tiny.exe" "$qt/plugins/platforms/qwindows.dll"
cp "$work/tiny.exe" "$qt/plugins/styles/qwindowsvistastyle.dll"
cat >"$work/bin/cmake" <<EOF
#!/usr/bin/env bash
echo "\$*" >>"$work/cmake.log"
if [ "\$1" = --build ]; then mkdir -p "\$2/src/app"; cp "$work/tiny.exe" "\$2/src/app/TanvicQuorvel.exe"; exit; fi
while [ "\$1" != -B ]; do shift; done
mkdir -p "\$2"
printf 'CMAKE_PROJECT_VERSION:STATIC=9.8.7\nQt6_DIR:PATH=$qt/lib/cmake/Qt6\n' >"\$2/CMakeCache.txt"
EOF
printf '#!/bin/sh\necho "the test installs nothing: $*" >&2; exit 1\n' >"$work/bin/apt-get"
chmod +x "$work/bin/cmake" "$work/bin/apt-get"
for site in https://one.example/ https://two.example/; do
    env -u QUORVEL_SIGN_PFX PATH="$work/bin:$PATH" WIN_BUILD_DIR="$work/build" DIST_DIR="$work/dist" \
        "$root/scripts/package-windows" -DQUORVEL_SUPPORT_SITE=$site >"$work/out" 2>&1 || fail "package-windows failed"
done
grep -v -- --build "$work/cmake.log" | tail -n 1 | grep -q 'QUORVEL_SUPPORT_SITE=https://two.example/' ||
    fail "the second run's option did not reach cmake's configure step"
[ "$(grep -ci sign "$work/out")" -eq 1 ] && grep -q 'not signed' "$work/out" || fail "no single 'not signed' line"
[ -f "$work/dist/TanvicQuorvel-9.8.7-win64.zip" ] || fail "no zip named with the project version"
echo ok
