#!/usr/bin/env bash
# The main job: set-up, build, pack a demo package like the sample of the archive format (three
# values, a demo payload stored as ZEMPOSetup.exe, an Authenticode signature after the tail), run
# it under Wine and show what the payload received, the log lines and the exit code.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup.sh
jobs=$(nproc)

echo "== building the packer (native) and the product (win32, i686)"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs" --target kestor-pack
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs" --target Kestor kestor_test_payload
file build/win32/installer/Kestor.exe

if bash scripts/host-runs-32bit.sh; then
  tree=win32
  loader=wine
else
  echo "This machine cannot execute 32-bit code: the demo runs the x86_64 build of the same sources."
  tree=win64
  loader=/usr/lib/wine/wine64
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 -j"$jobs" --target Kestor kestor_test_payload
fi
stub=build/$tree/installer/Kestor.exe
payload=$(find build/$tree/tests/support -name kestor_test_payload.exe | head -n 1)

demo=build/demo
rm -rf "$demo/out"; mkdir -p "$demo/out"
echo
echo "== packing $demo/out/TovrelinSetup.exe"
build/native/tools/kestor-pack create -o "$demo/out/unsigned.exe" --stub "$stub" \
  --file installer32="$payload" --name ZEMPOSetup.exe \
  --value 'executable32=%installer32%' \
  --value 'parameters=/V"USER_BRAND_NAME=\"Mirelund\" WEBINSTALLER=1"' \
  --value msilog=ON

# A throw-away code-signing certificate: signing appends its certificate table after the
# archive, as a release would.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kestor demo" \
  -keyout "$demo/out/key.pem" -out "$demo/out/cert.pem" >/dev/null 2>&1
osslsigncode sign -certs "$demo/out/cert.pem" -key "$demo/out/key.pem" -n "Tovrelin" \
  -in "$demo/out/unsigned.exe" -out "$demo/out/TovrelinSetup.exe" >/dev/null
build/native/tools/kestor-pack list "$demo/out/TovrelinSetup.exe"

echo
echo "== running it under Wine"
wine_dir=$root/$demo/wine
bash cmake/wine-env.sh start "$wine_dir" "$loader" >/dev/null
trap 'bash cmake/wine-env.sh stop "$wine_dir" "$loader" >/dev/null' EXIT
export WINEPREFIX=$wine_dir/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ "$loader" = wine ] || export WINELOADER=$loader
unset DISPLAY  # no display needed: the run shows no message box when all goes well
report_unix=$root/$demo/out/payload-report.txt
export KESTOR_PAYLOAD_REPORT="Z:${report_unix//\//\\}"
export KESTOR_PAYLOAD_EXIT=42
set +e
"$loader" "$demo/out/TovrelinSetup.exe" /qn /vDEMO=1
code=$?
set -e

echo "exit code: $code (the payload was asked for 42; Wine's status keeps 8 bits)"
echo
echo "== what the payload received"
if [ -f "$report_unix" ]; then
  # The report holds each field as "<name> <length>\n<bytes>\n".
  awk 'NR % 2 == 1 { name = $1 } NR % 2 == 0 { printf "%-18s %s\n", name ":", $0 }' "$report_unix"
else
  echo "(no report: the payload did not run)"
fi
echo
echo "== log lines"
log=$(find "$WINEPREFIX/drive_c" -name Kestor.log.txt 2>/dev/null | head -n 1)
if [ -n "$log" ]; then tail -n 5 "$log"; else echo "(no log file found)"; fi
echo
leftover=$(find "$(dirname "${log:-/nonexistent}")" -maxdepth 1 -name 'TVN*' 2>/dev/null | wc -l)
echo "work directories left behind: $leftover"
[ "$code" -eq 42 ]
