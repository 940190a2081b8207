#!/usr/bin/python3
"""Writes the receiver logs of this folder (run it again only on purpose; the .chk files follow with
CORVAN_UPDATE_GOLDEN=1). The tracks are synthesised: a boat on a steady course in the Gulf of Maine, a
receiver's 1 Hz cycle of GGA, RMC, GSA and GSV, a heading sensor, and binary frames of u-blox and SiRF
receivers. Nothing here comes from another product."""
import math
import os
import random
import struct
import sys
from datetime import datetime, timedelta, timezone

HERE = os.path.dirname(os.path.abspath(__file__))


def cks(body):
    x = 0
    for c in body.encode():
        x ^= c
    return "$%s*%02X\r\n" % (body, x)


def latlon(lat, lon):
    def part(v, width):
        d = int(abs(v))
        m = (abs(v) - d) * 60.0
        return "%0*d%07.4f" % (width, d, m)
    return "%s,%s,%s,%s" % (part(lat, 2), "N" if lat >= 0 else "S", part(lon, 3), "E" if lon >= 0 else "W")


SATS = [  # prn, elevation, azimuth, snr (None: not tracked)
    (2, 67, 123, 44), (5, 12, 301, 31), (7, 45, 54, 42), (9, 8, 211, None), (13, 33, 160, 39),
    (15, 71, 277, 46), (18, 22, 88, 35), (20, 5, 341, 22), (24, 56, 12, 43), (29, 15, 196, 30),
]
USED = [2, 7, 13, 15, 18, 24, 29, 5]


def gsv(talker, sats):
    out = []
    count = (len(sats) + 3) // 4
    for n in range(count):
        fields = [talker + "GSV", str(count), str(n + 1), "%02d" % len(sats)]
        for prn, el, az, snr in sats[n * 4:n * 4 + 4]:
            fields += ["%02d" % prn, "%02d" % el, "%03d" % az, "" if snr is None else "%02d" % snr]
        out.append(cks(",".join(fields)))
    return out


def track(start, lat, lon, course, knots, seconds, rng, moving_from=0):
    """One cycle per second: GGA, RMC, GSA and GSV; the boat lies still until moving_from."""
    lines = []
    metres_per_s = knots * 1852.0 / 3600.0
    for i in range(seconds):
        t = start + timedelta(seconds=i)
        moving = i >= moving_from
        hhmmss = t.strftime("%H%M%S") + ".00"
        pos = latlon(lat, lon)
        lines.append(cks("GPGGA,%s,%s,%d,%02d,%.1f,%.1f,M,-28.4,M,,"
                         % (hhmmss, pos, 1, len(USED), 0.9 + 0.1 * (i % 3), 12.3 + 0.1 * (i % 5))))
        lines.append(cks("GPRMC,%s,A,%s,%.1f,%.1f,%s,15.6,W,A"
                         % (hhmmss, pos, knots if moving else 0.0, course if moving else 0.0,
                            t.strftime("%d%m%y"))))
        used = USED if i % 20 < 10 else USED[:6]
        lines.append(cks("GPGSA,A,3,%s,1.8,0.9,1.5" % ",".join(["%02d" % p for p in used] + [""] * (12 - len(used)))))
        lines += gsv("GP", SATS)
        if moving:
            step = metres_per_s
            lat += step * math.cos(math.radians(course)) / 111120.0
            lon += step * math.sin(math.radians(course)) / (111120.0 * math.cos(math.radians(lat)))
    return lines


def heading_sensor(rng):
    """A heading sensor swinging across north: HDG (with and without deviation), HDT, HDM and ROT."""
    lines = []
    h = 340.0
    for i in range(60):
        h = (h + 1.5) % 360.0
        if i % 2:
            lines.append(cks("HCHDG,%.1f,,,15.6,W" % h))
        else:
            lines.append(cks("HCHDG,%.1f,1.0,E,15.6,W" % h))
        lines.append(cks("HEHDT,%.1f,T" % ((h - 15.6) % 360.0)))
        lines.append(cks("HEHDM,%.1f,M" % h))
        lines.append(cks("TIROT,%.1f,%s" % (1.5 * 60.0, "A" if i % 7 else "V")))
        if i % 10 == 5:
            lines.append(cks("HEHDT,,T"))
    return lines


def damage(lines, rng):
    """Every third sentence damaged as a receiver's line would be: one character changed to another printable
    one (never a start or a star, so the checksum fails) or a control character other than CR put in."""
    out = []
    for n, s in enumerate(lines):
        if n % 3 == 2:
            at = 1 + rng.randrange(s.index("*") - 1)
            if n % 2:
                c = s[at]
                while c == s[at] or c in "$!*":
                    c = chr(32 + rng.randrange(95))
                s = s[:at] + c + s[at + 1:]
            else:
                c = "\r"
                while c == "\r":
                    c = chr(rng.randrange(32))
                s = s[:at] + c + s[at:]
        out.append(s)
    return out


def ubx(cls, mid, payload):
    body = bytes([cls, mid]) + struct.pack("<H", len(payload)) + payload
    a = b = 0
    for x in body:
        a = (a + x) & 0xFF
        b = (b + a) & 0xFF
    return b"\xb5\x62" + body + bytes([a, b])


def sirf(payload):
    s = sum(payload) & 0x7FFF
    return b"\xa0\xa2" + struct.pack(">H", len(payload)) + payload + struct.pack(">H", s) + b"\xb0\xb3"


def binary_cycle(i, lat, lon):
    posllh = struct.pack("<IiiiiII", 1000 * i, int(lon * 1e7), int(lat * 1e7), 40000, 52000, 2500 + 10 * i, 4000)
    velned = struct.pack("<IiiiIIiII", 1000 * i, 150 + i, 260, 0, 300, 300, int(60e5), 20, 500000 + i)
    geo = bytearray(91)
    geo[0] = 41
    geo[46:50] = struct.pack(">I", 850 + i)
    return ubx(0x01, 0x02, posllh) + ubx(0x01, 0x12, velned) + sirf(bytes(geo))


def header(text):
    return "".join("# " + line + "\n" for line in text.strip().splitlines())


def write(name, head, body):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(header(head).encode())
        f.write(body if isinstance(body, bytes) else "".join(body).encode())


def main():
    rng = random.Random(2025)
    start = datetime(2025, 6, 14, 13, 20, 0, tzinfo=timezone.utc)
    coastal = track(start, 43.6512, -70.2235, 62.0, 6.0, 120, rng, moving_from=5)
    write("coastal_gp.log", """
Synthesised by make_logs.py: a GP-only receiver at 1 Hz (GGA, RMC, GSA, GSV of ten satellites, one without
SNR), a boat lying still for 5 s and then running at 6.0 kn on 062 degrees off Portland, Maine, 2025-06-14.
The used list of GSA changes every 10 s.""", coastal)
    write("heading_sensor.log", """
Synthesised by make_logs.py: a heading sensor swinging across north at 1.5 degrees a sentence, HDG with
and without deviation, HDT (also without a heading), HDM and ROT with status A and V.""", heading_sensor(rng))
    write("damaged_twin.log", """
Synthesised by make_logs.py: the first 40 s of coastal_gp.log with every third sentence damaged (a changed
printable character or an inserted control character): only the intact sentences may write.""",
          damage(coastal[:40 * 6], rng))
    body = bytearray()
    lat, lon = 43.6512, -70.2235
    for i, s in enumerate(track(start, lat, lon, 62.0, 6.0, 30, rng)):
        body += s.encode()
        if i % 6 == 5:
            body += binary_cycle(i // 6, lat, lon)
    write("mixed_binary.log", """
Synthesised by make_logs.py: 30 s of coastal_gp.log's sentences with, after each cycle, a u-blox NAV-POSLLH
and NAV-VELNED and a SiRF geodetic navigation message (41), as a receiver in binary mode interleaves them.""",
          bytes(body))


if __name__ == "__main__":
    sys.exit(main())
