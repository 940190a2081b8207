#!/usr/bin/env bash
# Regenerates the decoder's test corpus. Needs Debian's libopenjp2-tools (opj_compress, opj_decompress,
# opj_dump 2.5) and python3; the tests themselves need neither. Run from anywhere:
#   tests/jp2/data/make_fixtures.sh
# Sources are synthetic pictures made by jp2_fixtures.py; *.dump is opj_dump's view of each file, *.ref.raw
# is opj_decompress's planar output (big-endian above 8 bits) where the decode is not simply the source.
set -euo pipefail
cd "$(dirname "$0")"
py=jp2_fixtures.py
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 $py images .
rm -f ./*.j2k ./*.jp2 ./*.dump ./*.ref.raw
rm -rf styles && mkdir styles

enc() { # name input options...
  local name=$1 in=$2; shift 2
  opj_compress -i "$in" -o "$name" "$@" >/dev/null
}
rgbraw=(-F 64,48,3,8,u)
base=(-n 4 -c [16,16],[16,16],[16,16],[16,16] -b 8,8 -r 30,10,1)

# One picture in every progression, tile-part split, SOP/EPH and POC; the same code-blocks in each.
for p in LRCP RLCP RPCL PCRL CPRL; do enc prog_${p,,}.j2k rgb.raw "${rgbraw[@]}" "${base[@]}" -p $p; done
enc prog_tpr.j2k rgb.raw "${rgbraw[@]}" "${base[@]}" -p RPCL -TP R
# (opj_compress 2.5 writes streams that do not decode losslessly with -TP L and these precincts.)
enc prog_tpc_pcrl.j2k rgb.raw "${rgbraw[@]}" "${base[@]}" -p PCRL -TP C
enc prog_tpc.j2k rgb.raw "${rgbraw[@]}" "${base[@]}" -p CPRL -TP C
enc prog_sopeph.j2k rgb.raw "${rgbraw[@]}" "${base[@]}" -SOP -EPH
enc prog_sopeph_tpl.j2k rgb.raw "${rgbraw[@]}" "${base[@]}" -SOP -EPH -p RPCL -TP R
enc prog_poc.j2k rgb.raw "${rgbraw[@]}" "${base[@]}" -POC T0=0,0,3,2,3,RPCL/T0=0,0,3,5,3,CPRL
# Packed packet headers, moved out of the packets by our rewriter; small segments make headers span two.
python3 $py rewrite prog_sopeph.j2k prog_ppm.j2k ppm 60000
python3 $py rewrite prog_sopeph_tpl.j2k prog_ppm_span.j2k ppm 50
python3 $py rewrite prog_sopeph.j2k prog_ppt.j2k ppt 60000
python3 $py rewrite prog_sopeph_tpl.j2k prog_ppt_span.j2k ppt 40

# Wavelets, component counts, subsampling, depths, tiles and offsets, markers.
enc gray_53.j2k gray.pgm -n 4
enc gray_97.j2k gray.pgm -I -r 10 -n 5
enc gray_97_g1.j2k gray.pgm -I -GuardBits 1 -n 6 -r 4
enc rgb_53.j2k rgb.ppm -n 3
enc rgb_97.j2k rgb.ppm -I -r 8 -n 3
enc c2_53.j2k c2.raw -F 40,30,2,8,u -n 3
enc c4_53.j2k c4.raw -F 40,30,4,8,u -n 2
enc yuv420_53.j2k yuv420.raw -F 64,48,3,8,u@1x1:2x2:2x2 -n 3
enc g12_53.j2k g12.raw -F 40,30,1,12,u -n 3
enc g12_97.j2k g12.raw -F 40,30,1,12,u -I -n 3 -r 3
# 16 bits with flat areas at both ends of the range and hard edges between them: the 9/7 rings beyond both ends.
python3 -c 'import sys; sys.stdout.buffer.write(bytes(b for y in range(32) for x in range(32)
  for b in ((0, 0) if (x // 8 + y // 8) % 2 else (255, 255))))' >g16.raw
enc g16_97.j2k g16.raw -F 32,32,1,16,u -I -n 3 -r 6
enc signed_53.j2k small.raw -F 32,32,1,8,s -n 3
enc tiles_off.j2k rgb.raw "${rgbraw[@]}" -t 24,20 -d 3,5 -T 1,2 -n 2
enc tlm_plt.j2k rgb.raw "${rgbraw[@]}" -t 32,32 -TLM -PLT -TP R -n 3
enc roi.j2k rgb.raw "${rgbraw[@]}" -ROI c=1,U=5 -n 3
enc com.j2k gray.pgm -C "a comment" -n 2
enc big_tiles.j2k big.raw -F 256,256,1,8,u -t 128,128 -n 6
enc big_97.j2k big.raw -F 256,256,1,8,u -I -n 5 -r 6
for m in $(seq 1 63); do enc styles/m$m.j2k small.raw -F 32,32,1,8,u -n 3 -b 16,16 -M $m -r 4,1; done

# JP2 files: opj's own, and ours with palette, channel definitions, resolution and metadata boxes.
enc rgb.jp2 rgb.ppm -n 3
python3 $py jp2 palette gray_53.j2k palette.jp2
python3 $py jp2 meta rgb_53.j2k meta.jp2
python3 $py jp2 gray gray_53.j2k gray.jp2

for f in ./*.j2k ./*.jp2 styles/*.j2k; do opj_dump -i "$f" 2>/dev/null | sed -n '/^Image info/,/^Codestream index/p' >"${f%.*}.dump"; done

# Reference decodes where the output is not the source itself.
ref() { # file output options...
  local in=$1 out=$2; shift 2
  opj_decompress -i "$in" -o "$tmp/o.raw" "$@" >/dev/null
  mv "$tmp/o.raw" "$out"
}
ref gray_97.j2k gray_97.ref.raw
ref gray_97_g1.j2k gray_97_g1.ref.raw
ref rgb_97.j2k rgb_97.ref.raw
ref big_97.j2k big_97.ref.raw
# (opj_decompress writes these 16-bit raw files little-endian: turned big-endian like every other reference.)
for f in g12_97 g16_97; do
  ref $f.j2k $f.ref.raw
  python3 -c 'import sys; d=open(sys.argv[1],"rb").read(); open(sys.argv[1],"wb").write(bytes(d[i^1] for i in range(len(d))))' $f.ref.raw
done
ref big_tiles.j2k big_tiles_r2.ref.raw -r 2
ref prog_lrcp.j2k prog_lrcp.ref.raw
ref roi.j2k roi.ref.raw
ref tiles_off.j2k tiles_off.ref.raw
# Reductions and regions (opj's -d takes the reference grid at full resolution). opj's raw output of
# sub-sampled components is not planar at their own size, so the 4:2:0 file has no such references.
for r in 1 2; do ref rgb_53.j2k rgb_53_r$r.ref.raw -r $r; done
ref tiles_off.j2k tiles_off_r1.ref.raw -r 1
ref rgb_53.j2k rgb_53_d.ref.raw -d 10,5,41,30
ref tiles_off.j2k tiles_off_d.ref.raw -d 7,9,50,40
ref big_tiles.j2k big_tiles_d.ref.raw -d 140,150,200,220
ref big_tiles.j2k big_tiles_r2d.ref.raw -r 2 -d 136,148,200,220
rm -f rgb.ppm gray.pgm
