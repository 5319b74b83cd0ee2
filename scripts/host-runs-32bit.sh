#!/usr/bin/env bash
# Exit 0 when this machine can execute 32-bit x86 code, so 32-bit Wine can run the i686 tree's
# programs. Some virtual machines offer no IA-32 compatibility mode: there the 64-bit tree's
# programs run the Windows tests instead.
[ -x /usr/lib/wine/wine ] || exit 1
/usr/lib/wine/wine --version >/dev/null 2>&1
