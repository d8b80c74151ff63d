#!/usr/bin/env bash
# scripts/package-windows with cmake stood in for by a recorder that "builds" a tiny Windows
# program (the real build and zip are CI's): everything after the build runs for real. Twice in
# one build folder: options given to the second run reach cmake's configure step; unsigned, one
# line says so; signed with a throwaway certificate, the program in the zip verifies against it
# and neither the password nor the certificate's path shows; SHA256SUMS matches.
#   package_windows.sh <source folder>
# Exits 77 (skipped) without the cross compiler, osslsigncode or openssl.
set -euo pipefail
root=${1:?source folder}
for tool in x86_64-w64-mingw32-gcc osslsigncode openssl python3; do
    command -v "$tool" >/dev/null || { echo "no $tool"; exit 77; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-package-options.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

qt=$work/qt
mkdir -p "$work/bin" "$qt/lib/cmake/Qt6" "$qt/bin" "$qt/plugins/platforms" "$qt/plugins/styles"
echo 'int main(void) { return 0; }' >"$work/tiny.c"
x86_64-w64-mingw32-gcc -O1 "$work/tiny.c" -o "$work/tiny.exe"
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
package() { PATH=$work/bin:$PATH WIN_BUILD_DIR=$work/build DIST_DIR=$work/dist "$root/scripts/package-windows" "$@" >"$work/out" 2>&1 ||
    { cat "$work/out"; fail "package-windows failed"; }; }
exe() { python3 - "$work/dist/TanvicQuorvel-9.8.7-win64.zip" "$work/program.exe" <<'PY'
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
stray = [n for n in z.namelist() if not n.startswith('TanvicQuorvel/')]
if stray:
    sys.exit('FAIL: the zip holds more than the program folder: %s' % stray)
open(sys.argv[2], 'wb').write(z.read('TanvicQuorvel/TanvicQuorvel.exe'))
PY
}

package -DQUORVEL_SUPPORT_SITE=https://one.example/
[ "$(grep -ci 'sign' "$work/out")" -eq 1 ] && grep -q 'not signed' "$work/out" || { cat "$work/out"; fail "no single 'not signed' line"; }
exe
osslsigncode verify -in "$work/program.exe" >/dev/null 2>&1 && fail "the unsigned run signed the program"

openssl req -x509 -newkey rsa:2048 -sha256 -days 1 -nodes -subj /CN=test -addext extendedKeyUsage=codeSigning \
    -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
export QUORVEL_SIGN_PASSWORD=pw-$RANDOM$RANDOM QUORVEL_SIGN_PFX=$work/secret-place.pfx
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$QUORVEL_SIGN_PFX" -passout env:QUORVEL_SIGN_PASSWORD
package -DQUORVEL_SUPPORT_SITE=https://two.example/
grep -v -- --build "$work/cmake.log" | tail -n 1 | grep -q 'QUORVEL_SUPPORT_SITE=https://two.example/' ||
    { cat "$work/cmake.log"; fail "the second run's option did not reach cmake's configure step"; }
grep -qe "$QUORVEL_SIGN_PASSWORD" -e secret-place "$work/out" && fail "the output shows a signing secret"
exe
osslsigncode verify -CAfile "$work/cert.pem" -in "$work/program.exe" >"$work/verify" 2>&1 ||
    { cat "$work/verify"; fail "the signed program does not verify"; }
grep -q 'Message digest algorithm *: SHA256' "$work/verify" || fail "not signed with SHA-256"
(cd "$work/dist" && sha256sum --strict -c SHA256SUMS) || fail "SHA256SUMS does not match"
echo "ok"
