#!/usr/bin/env bash
# Makes the seed corpus of the package reader's fuzzer: a few tiny packages written by
# kestor-pack, each showing the reader one path of its walk.
#
# make_reader_corpus.sh KESTOR_PACK OUT_DIR
set -euo pipefail
pack=$(realpath "$1")
out=$(realpath -m "$2")
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# A stand-in stub image that, like the real one, holds the marker text among its bytes.
printf 'MZ\x90\x00 a stand-in stub image with chunked-installer-tail among its constants\x00\x01' >stub.exe
printf 'payload \x00\x01\x02 program' >payload.bin
: >empty.bin

create() { "$pack" create --stub stub.exe "$@" >/dev/null; }

# Like the sample: three values and the payload, a stand-in certificate table after the tail.
create -o sample --file installer32=payload.bin --name ZEMPOSetup.exe \
  --value executable32=%installer32% \
  --value 'parameters=/V"USER_BRAND_NAME=\"Mirelund\" WEBINSTALLER=1"' --value msilog=ON
printf '\x00\x00' >>sample
head -c 64 /dev/zero | tr '\0' 'C' >>sample

# Values only, one key twice; a file with an empty key and no content.
create -o values --value parameters=first --value parameters=second --value source=elsewhere
create -o empty_file --file =empty.bin --value executable32=empty.bin

# One altered byte in the payload's content: the reading stops with a digest failure.
create -o damaged --file installer32=payload.bin --value msilog=ON
offset=$(( $(stat -c %s stub.exe) + 20 + 28 + 24 + 24 + 3 ))
printf 'X' | dd of=damaged bs=1 seek="$offset" conv=notrunc status=none

# The bare stub: a marker without a tail record around it.
cp stub.exe bare_stub

cp sample values empty_file damaged bare_stub "$out"/
