#!/usr/bin/env bash
# make_signed_package.sh WINE_RUN PACKER STUB PAYLOAD OUT_DIR
# Packs the stub with the payload and the sample's values, then signs the package with
# osslsigncode and a throw-away certificate, as a release does after packing:
# OUT_DIR/signed.exe.
set -eu
run=$1 packer=$2 stub=$3 payload=$4 out=$5
mkdir -p "$out"
rm -f "$out/unsigned.exe" "$out/signed.exe" "$out/key.pem" "$out/cert.pem"

"$run" "$packer" create -o "Z:$out/unsigned.exe" --stub "Z:$stub" \
  --file "installer32=Z:$payload" --name ZEMPOSetup.exe \
  --value 'executable32=%installer32%' \
  --value 'parameters=/V"USER_BRAND_NAME=\"Mirelund\" WEBINSTALLER=1"' \
  --value msilog=ON

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kestor end-to-end test" \
  -keyout "$out/key.pem" -out "$out/cert.pem" 2>/dev/null
osslsigncode sign -certs "$out/cert.pem" -key "$out/key.pem" -n "Tovrelin" \
  -in "$out/unsigned.exe" -out "$out/signed.exe" >/dev/null
# The signature really is there: a certificate table follows the archive.
osslsigncode verify -CAfile "$out/cert.pem" -in "$out/signed.exe" >/dev/null 2>&1 ||
  osslsigncode extract-signature -in "$out/signed.exe" -out "$out/signature.der" >/dev/null
[ "$(stat -c %s "$out/signed.exe")" -gt "$(stat -c %s "$out/unsigned.exe")" ]
echo "signed package: $out/signed.exe"
