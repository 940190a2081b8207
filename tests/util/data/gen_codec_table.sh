#!/usr/bin/env bash
# Writes codec_coreutils.txt: for 200 random buffers of 1 to 100 bytes (fixed seed), one line with the buffer in
# coreutils' base16 (basenc) and base64. Run once; the table is committed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/codec_coreutils.txt"
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
: >"$out"
for i in $(seq 0 199); do
  python3 -c "import random,sys; r=random.Random($i); sys.stdout.buffer.write(bytes(r.randrange(256) for _ in range(r.randint(1,100))))" >"$tmp"
  printf '%s %s\n' "$(basenc --base16 -w0 "$tmp")" "$(base64 -w0 "$tmp")" >>"$out"
done
