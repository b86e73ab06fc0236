#!/usr/bin/env bash
# Builds crashmail from its Debian source with unsigned chars, for the JAM interop tests.
#
# Debian's crashmail binary corrupts JAM bases on x86: it reads header bytes and CRC indexes
# through a signed char (garbage recipient and MSGID CRCs, a damaged base header, "Failed to
# read message" on SCAN). The same source built with -funsigned-char is sound.
#
# Usage: scripts/build_crashmail_jam.sh OUTDIR
# Leaves the binaries in OUTDIR/bin (crashmail, crashwrite, crashmaint, ...); the tests find
# crashmail through VELDMARK_CRASHMAIL_JAM=OUTDIR/bin/crashmail. Running it again when the
# binary is there does nothing.
set -euo pipefail

out="${1:?usage: $0 OUTDIR}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
if [ -x "$out/bin/crashmail" ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# A deb-src twin of the machine's first deb entry (same archive, suites and key), unless a
# source entry is already configured.
if ! grep -qs '^Types:.*deb-src' /etc/apt/sources.list.d/*.sources &&
   ! grep -qs '^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list; then
  awk 'BEGIN { RS = ""; FS = "\n" }
       NR == 1 {
         for (i = 1; i <= NF; i++) {
           if ($i ~ /^Types:/) print "Types: deb-src"
           else if ($i ~ /^(URIs|Suites|Components|Signed-By):/) print $i
         }
         exit
       }' /etc/apt/sources.list.d/debian.sources |
    $SUDO tee /etc/apt/sources.list.d/veldmark-crashmail-src.sources >/dev/null
  $SUDO apt-get update
fi

work="$out/source"
rm -rf "$work"
mkdir -p "$work"
(cd "$work" && apt-get source crashmail)
src="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'crashmail*' | head -n 1)"
mkdir -p "$src/bin"
(cd "$src/src" && CFLAGS="-O2 -funsigned-char -w" make linux)

mkdir -p "$out/bin"
for program in "$src"/bin/*; do
  [ -x "$program" ] && cp "$program" "$out/bin/"
done
test -x "$out/bin/crashmail"
echo "crashmail built: $out/bin/crashmail"
