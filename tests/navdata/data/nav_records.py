#!/usr/bin/env python3
"""Reads navigation record files with struct, independently of the unit's code.

  nav_records.py card FILE    records of a card file or PC stream (8-byte header, big-endian bodies)
  nav_records.py flash FILE   one record file of internal flash (8-byte header, little-endian body)

Prints one "record.field=value" line per field; arrays print the entries that carry meaning.
"""
import struct
import sys

WAYPOINT_BYTES, ROUTE_BYTES, TRACK_BYTES, WENDRIX_BYTES = 28, 128, 131072, 3072
TRACK_DELTAS, WENDRIX_POINTS = 21835, 352


def text(raw):
    return raw.split(b"\0", 1)[0].decode("latin-1")


def slot(o, body):
    status = body[0] & 0x3F
    out = {"status": status, "hide": (body[0] >> 6) & 1, "not_shared": body[0] >> 7, "icon": body[1]}
    if status == 16:
        depth, dt, parent, r1, first, r2 = struct.unpack(o + "HIHHHH", body[2:16])
        out.update(depth=depth, datetime=dt, parent=parent, reserved1=r1, first_body=first, reserved2=r2,
                   name=text(body[16:28]))
    elif status == 17:
        values = struct.unpack(o + "13H", body[2:28])
        out["next"] = values[0]
        for i, v in enumerate(values[1:]):
            out["item%d" % i] = v
    else:
        depth, dt, x, y = struct.unpack(o + "HIii", body[2:16])
        out.update(depth=depth, datetime=dt, x=x, y=y, name=text(body[16:28]))
    return out


def route(o, body):
    word, dt = struct.unpack(o + "II", body[:8])
    count = word & 0x3FFFFFFF
    out = {"count": count, "hide": (word >> 30) & 1, "not_shared": word >> 31, "datetime": dt,
           "name": text(body[8:28])}
    for i in range(min(count, 50)):
        out["link%d" % i] = struct.unpack(o + "H", body[28 + 2 * i:30 + 2 * i])[0]
    return out


def track(o, body):
    count, first, dt, fx, fy, lx, ly, llx, lly, urx, ury = struct.unpack(o + "HHI8i", body[:40])
    out = {"count": count, "first_delta": first, "datetime": dt, "first_x": fx, "first_y": fy, "last_x": lx,
           "last_y": ly, "ll_x": llx, "ll_y": lly, "ur_x": urx, "ur_y": ury, "name": text(body[40:60])}
    for i in range(min(count, TRACK_DELTAS)):
        x, y, d = struct.unpack(o + "hhH", body[60 + 6 * i:66 + 6 * i])
        out["delta%d" % i] = "%d,%d,%d" % (x, y, d)
    return out


def wendrix(o, body):
    count, dt = struct.unpack(o + "II", body[:8])
    # These words are kept in the unit's own (little-endian) order on a card too.
    pad1, flags = struct.unpack("<II", body[20:28])
    total, last_used, visible, style, color, llx, lly, urx, ury, uid, modified = struct.unpack(
        o + "IIIII4iQI", body[28:76])
    displayed, = struct.unpack("<I", body[76:80])
    tp, dtg, brg = struct.unpack(o + "III", body[80:92])
    mmc, ox, oy, phash = struct.unpack("<IiiI", body[92:108])
    out = {"count": count, "datetime": dt, "name": text(body[8:20]), "pad1": pad1, "flags": flags,
           "length_ft": total, "last_used": last_used, "visible": visible, "style": style, "color": color,
           "ll_x": llx, "ll_y": lly, "ur_x": urx, "ur_y": ury, "uid": uid, "modified": modified,
           "displayed": displayed, "closest_tp": tp, "closest_dtg": dtg, "closest_brg": brg, "mmc_id": mmc,
           "origin_x": ox, "origin_y": oy, "points_hash": phash}
    for i in range(min(count, WENDRIX_POINTS)):
        x, y = struct.unpack(o + "ii", body[256 + 8 * i:264 + 8 * i])
        out["point%d" % i] = "%d,%d" % (x, y)
    return out


PARSERS = {1: (TRACK_BYTES, track), 2: (WAYPOINT_BYTES, slot), 3: (ROUTE_BYTES, route), 4: (WENDRIX_BYTES, wendrix)}


def card_records(data):
    pos, n = 0, 0
    while pos + 8 <= len(data):
        rtype, version, size, index, reserved = struct.unpack(">BBHHH", data[pos:pos + 8])
        length = size if size else len(data) - pos
        body_bytes, parse = PARSERS[rtype]
        if length != body_bytes + 8:
            raise ValueError("record %d: type %d length %d" % (n, rtype, length))
        fields = {"type": rtype, "version": version, "size": size, "index": index, "reserved": reserved}
        fields.update(parse(">", data[pos + 8:pos + length]))
        yield fields
        pos += length
        n += 1
    if pos != len(data):
        raise ValueError("%d bytes after the last record" % (len(data) - pos))


def flash_record(data):
    word, rtype, version, index = struct.unpack("<IBBH", data[:8])
    if word != 0x00024210:
        raise ValueError("first word %08x" % word)
    body_bytes, parse = PARSERS[rtype]
    if len(data) != body_bytes + 8:
        raise ValueError("length %d" % len(data))
    fields = {"type": rtype, "version": version, "index": index}
    fields.update(parse("<", data[8:]))
    return fields


def main():
    kind, path = sys.argv[1], sys.argv[2]
    with open(path, "rb") as f:
        data = f.read()
    records = list(card_records(data)) if kind == "card" else [flash_record(data)]
    for n, fields in enumerate(records):
        for key, value in fields.items():
            print("%d.%s=%s" % (n, key, value))


if __name__ == "__main__":
    main()
