#!/usr/bin/env bash
# A package signed with osslsigncode after packing is still one the stub accepts: the signature's
# certificate table follows the archive, and the stub image's own digest no longer matches, which
# the stub never checks. Runs the Windows build of kestor-pack under Wine for every step.
#
# signed_package_test.sh KESTOR_PACK_EXE STUB_EXE WINE_RUN WORK_DIR
set -euo pipefail
pack_exe=$1 stub_exe=$2 wine_run=$3 work=$4

fail() { echo "FAIL: $*" >&2; exit 1; }
command -v osslsigncode >/dev/null || fail "osslsigncode is not installed (scripts/setup.sh installs it)"
command -v openssl >/dev/null || fail "openssl is not installed"

rm -rf "$work"
mkdir -p "$work"
cd "$work"
cp "$pack_exe" kestor-pack.exe
cp "$stub_exe" stub.exe
pack() { "$wine_run" kestor-pack.exe "$@"; }

# A throw-away code-signing certificate.
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
  -subj "/CN=Kestor test signing" -addext "extendedKeyUsage=codeSigning" >/dev/null 2>&1 \
  || fail "openssl could not make a certificate"

head -c 300000 /dev/urandom >payload.bin
pack create -o package.exe --stub stub.exe --stub-name Kestor.exe \
  --file installer32=payload.bin --name ZEMPOSetup.exe \
  --value executable32=%installer32% \
  --value 'parameters=/V"USER_BRAND_NAME=\"Mirelund\" WEBINSTALLER=1"' \
  --value msilog=ON >create.out || fail "create failed: $(cat create.out)"

osslsigncode sign -certs cert.pem -key key.pem -n "Kestor test" -in package.exe -out signed.exe \
  >sign.out 2>&1 || fail "osslsigncode failed: $(cat sign.out)"

# Signing rewrote the image's headers, so its digest recorded at packing time is stale, and it
# appended the certificate table after the tail record.
size=$(stat -c %s package.exe)
[ "$(stat -c %s signed.exe)" -gt "$size" ] || fail "the signed package is not longer"
cmp -s -n "$(stat -c %s stub.exe)" package.exe signed.exe && fail "signing left the stub image unchanged"

pack list signed.exe --json >listing.json || fail "list refuses the signed package: $(cat listing.json)"
python3 - "$size" <<'PY' || fail "the listing is not what the stub should see: $(cat listing.json)"
import json, sys
listing = json.load(open("listing.json"))
size = int(sys.argv[1])
assert listing["accepted"] is True, "not accepted"
assert listing["tail_end"] == size, "tail not where packing put it"
kinds = [e["kind"] for e in listing["entries"]]
assert kinds == ["tail", "value", "value", "value", "file", "stub"], kinds
after = listing["after_tail"]
table = after["certificate_table"]
assert table is not None, "no certificate table found after the tail"
assert table["offset"] >= size and table["offset"] + table["size"] == listing["size"], table
assert after["size"] == listing["size"] - size, after
PY

pack extract signed.exe extracted >extract.out || fail "extract failed: $(cat extract.out)"
cmp -s payload.bin extracted/ZEMPOSetup.exe || fail "the extracted payload differs"
grep -q '"msilog" = "ON"' extract.out || fail "values missing from extract: $(cat extract.out)"

# A signed package is still a package: packing it again as a stub is refused.
if pack create -o again.exe --stub signed.exe --value a=b >again.out 2>&1; then
  fail "a signed package was accepted as a bare stub"
fi
grep -q "already carries an archive" again.out || fail "unexpected refusal: $(cat again.out)"
[ ! -e again.exe ] || fail "a refused package was left behind"

echo "signed package accepted: $(stat -c %s signed.exe) bytes"
