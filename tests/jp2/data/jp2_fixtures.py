#!/usr/bin/env python3
"""Source images, the PPM/PPT rewriter and the JP2 box builder for the decoder's test corpus.

Run by make_fixtures.sh; nothing here is needed when the tests run.
"""
import struct
import sys


def pattern(w, h, seed, maxval=255):
    """Deterministic picture with edges, gradients and noise-like texture."""
    out = []
    v = seed * 2654435761 & 0xFFFFFFFF
    for y in range(h):
        for x in range(w):
            v = (v * 1103515245 + 12345) & 0xFFFFFFFF
            base = (x * 5 + y * 3 + seed * 40) % (maxval + 1)
            if (x // 8 + y // 8) % 2:
                base = maxval - base
            noise = (v >> 16) % 9 - 4
            out.append(min(maxval, max(0, base + noise)))
    return out


def write_raw(path, comps, depth):
    """Planar components, big-endian for more than 8 bits (opj's .raw layout)."""
    with open(path, "wb") as f:
        for c in comps:
            if depth <= 8:
                f.write(bytes(v & 0xFF for v in c))
            else:
                f.write(b"".join(struct.pack(">H", v & 0xFFFF) for v in c))


def cmd_images(outdir):
    g = pattern(61, 47, 1)
    with open(f"{outdir}/gray.pgm", "wb") as f:
        f.write(b"P5\n61 47\n255\n" + bytes(g))
    write_raw(f"{outdir}/gray.raw", [g], 8)
    r, gg, b = pattern(64, 48, 2), pattern(64, 48, 3), pattern(64, 48, 4)
    with open(f"{outdir}/rgb.ppm", "wb") as f:
        f.write(b"P6\n64 48\n255\n" + bytes(v for t in zip(r, gg, b) for v in t))
    write_raw(f"{outdir}/rgb.raw", [r, gg, b], 8)
    write_raw(f"{outdir}/c2.raw", [pattern(40, 30, 5), pattern(40, 30, 6)], 8)
    write_raw(f"{outdir}/c4.raw", [pattern(40, 30, s) for s in (7, 8, 9, 10)], 8)
    write_raw(f"{outdir}/yuv420.raw", [pattern(64, 48, 11), pattern(32, 24, 12), pattern(32, 24, 13)], 8)
    write_raw(f"{outdir}/g12.raw", [pattern(40, 30, 14, 4095)], 12)
    write_raw(f"{outdir}/small.raw", [pattern(32, 32, 15)], 8)
    big = pattern(256, 256, 16)
    write_raw(f"{outdir}/big.raw", [big], 8)


# Codestream rewriting.

def markers(cs):
    """Yields (code, pos, length) of main-header segments up to the first SOT."""
    p = 2
    while True:
        code = struct.unpack(">H", cs[p:p + 2])[0]
        if code == 0xFF90:
            return p
        L = struct.unpack(">H", cs[p + 2:p + 4])[0]
        yield code, p, L
        p += 2 + L


def split_codestream(cs):
    """Main header bytes and a list of (tile index, tile-part header segments, data)."""
    gen = markers(cs)
    segs = []
    try:
        while True:
            segs.append(next(gen))
    except StopIteration as stop:
        first_sot = stop.value
    main = cs[:first_sot]
    parts = []
    p = first_sot
    while struct.unpack(">H", cs[p:p + 2])[0] == 0xFF90:
        isot, psot = struct.unpack(">HI", cs[p + 4:p + 10])
        end = p + psot if psot else len(cs) - 2
        q = p + 12
        hdr = b""
        while struct.unpack(">H", cs[q:q + 2])[0] != 0xFF93:
            L = struct.unpack(">H", cs[q + 2:q + 4])[0]
            hdr += cs[q:q + 2 + L]
            q += 2 + L
        parts.append((isot, cs[p + 10:p + 12], hdr, cs[q + 2:end]))
        p = end
    return main, parts


def split_packets(data):
    """Splits tile-part data written with SOP and EPH into (header with EPH, body with SOP)."""
    packets = []
    p = 0
    while p < len(data):
        assert data[p:p + 2] == b"\xff\x91", "SOP expected"
        sop = data[p:p + 6]
        e = data.index(b"\xff\x92", p + 6)
        header = data[p + 6:e + 2]
        n = data.find(b"\xff\x91", e + 2)
        n = len(data) if n < 0 else n
        packets.append((header, sop + data[e + 2:n]))
        p = n
    return packets


def segment(code, body):
    return struct.pack(">HH", code, len(body) + 2) + body


def sot(isot, tp_tn, length):
    return struct.pack(">HHHI", 0xFF90, 10, isot, length) + tp_tn


def rewrite_packed(cs, mode, chunk):
    """Moves packet headers into PPM (main header) or PPT (tile-part header) segments of at most chunk bytes."""
    main, parts = split_codestream(cs)
    out_parts = []
    ppm_data = b""
    next_z = {}
    for isot, tp_tn, hdr, data in parts:
        packets = split_packets(data)
        headers = b"".join(h for h, _ in packets)
        bodies = b"".join(b for _, b in packets)
        if mode == "ppm":
            ppm_data += struct.pack(">I", len(headers)) + headers
            out_parts.append((isot, tp_tn, hdr, bodies))
        else:
            ppt = b""
            pieces = [headers[i:i + chunk] for i in range(0, len(headers), chunk)] or [b""]
            for piece in pieces:
                z = next_z.get(isot, 0)
                next_z[isot] = z + 1
                ppt += segment(0xFF61, bytes([z]) + piece)
            out_parts.append((isot, tp_tn, hdr + ppt, bodies))
    if mode == "ppm":
        pieces = [ppm_data[i:i + chunk] for i in range(0, len(ppm_data), chunk)]
        main += b"".join(segment(0xFF60, bytes([z]) + piece) for z, piece in enumerate(pieces))
    out = main
    for isot, tp_tn, hdr, bodies in out_parts:
        body = hdr + b"\xff\x93" + bodies
        out += sot(isot, tp_tn, 12 + len(body)) + body
    return out + b"\xff\xd9"


# JP2 boxes.

def box(t, payload):
    return struct.pack(">I", 8 + len(payload)) + t + payload


def jp2(cs, header_boxes, brand=b"jp2 ", compat=(b"jp2 ",), before=b"", after=b"", ihdr=None):
    ftyp = box(b"ftyp", brand + b"\0\0\0\0" + b"".join(compat))
    if ihdr is None:
        ihdr = ihdr_from(cs)
    jp2h = box(b"jp2h", box(b"ihdr", ihdr) + b"".join(header_boxes))
    return box(b"jP  ", b"\r\n\x87\n") + ftyp + before + jp2h + box(b"jp2c", cs) + after


def ihdr_from(cs):
    xs, ys, xo, yo = struct.unpack(">IIII", cs[8:24])
    nc = struct.unpack(">H", cs[40:42])[0]
    return struct.pack(">IIHBBBB", ys - yo, xs - xo, nc, cs[42], 7, 0, 0)


def colr_enum(cs_code, prec=0):
    return box(b"colr", struct.pack(">BbBI", 1, prec, 0, cs_code))


def cmd_rewrite(src, dst, mode, chunk):
    cs = open(src, "rb").read()
    open(dst, "wb").write(rewrite_packed(cs, mode, int(chunk)))


def cmd_jp2(kind, src, dst):
    cs = open(src, "rb").read()
    if kind == "palette":
        # One codestream component of indices into a three-column palette.
        ne = 256
        cols = b"".join(bytes([i, 255 - i, (i * 3) & 255]) for i in range(ne))
        pclr = box(b"pclr", struct.pack(">HB", ne, 3) + bytes([7, 7, 7]) + cols)
        cmap = box(b"cmap", b"".join(struct.pack(">HBB", 0, 1, c) for c in range(3)))
        data = jp2(cs, [colr_enum(16), pclr, cmap])
    elif kind == "meta":
        res = box(b"res ", box(b"resc", struct.pack(">HHHHbb", 300, 1, 200, 1, 2, 2)) +
                  box(b"resd", struct.pack(">HHHHbb", 72, 1, 72, 1, 0, 0)))
        cdef = box(b"cdef", struct.pack(">H", 3) + b"".join(struct.pack(">HHH", i, 0, i + 1) for i in range(3)))
        iptc = bytes.fromhex("33C7A4D2B81D4723A0BAF1A3E097AD38")
        other = bytes(range(16))
        uinf = box(b"uinf", box(b"ulst", struct.pack(">H", 1) + other) + box(b"url ", b"\0\0\0\0" + b"http://x/y\0"))
        after = (box(b"xml ", b"<a>after</a>") + box(b"uuid", iptc + b"IPTC data") + box(b"jp2i", b"ipr") + uinf +
                 struct.pack(">I", 0) + b"xml " + b"<last>runs to the end</last>")
        before = box(b"xml ", b"<b>before</b>") + box(b"uuid", other + b"other")
        data = jp2(cs, [colr_enum(16, 0), colr_enum(99, 5), res, cdef], brand=b"abcd", compat=(b"xxxx", b"jp2 "),
                   before=before, after=after)
    else:
        data = jp2(cs, [colr_enum(17 if kind == "gray" else 16)])
    open(dst, "wb").write(data)


if __name__ == "__main__":
    {"images": cmd_images, "rewrite": cmd_rewrite, "jp2": cmd_jp2}[sys.argv[1]](*sys.argv[2:])
