#!/usr/bin/env python3
"""AIS test corpus: VDM sentences built bit by bit from the message layouts of ITU-R M.1371.

  ais_corpus.py corpus FILE        writes the corpus (it starts with an empty line: a serial reader drops
                                   everything up to the first line end)
  ais_corpus.py bench FILE N       writes N sentences of position and static reports of 150 ships
  ais_corpus.py latest < JSON      reads `gpsdecode -j -s` output and prints, per MMSI and field, the value of
                                   the latest record that carries the field: "MMSI FIELD JSON-VALUE" lines
"""
import json
import sys


class Bits:
    def __init__(self):
        self.bits = []

    def u(self, width, value):
        value &= (1 << width) - 1
        self.bits += [(value >> (width - 1 - i)) & 1 for i in range(width)]
        return self

    def s(self, width, value):
        return self.u(width, value & ((1 << width) - 1))

    def text(self, count, value, pad="@"):
        value = value.ljust(count, pad)[:count]
        for ch in value:
            v = ord(ch)
            self.u(6, v - 64 if v >= 64 else v)
        return self

    def payload(self):
        bits = list(self.bits)
        fill = (-len(bits)) % 6
        bits += [0] * fill
        out = ""
        for i in range(0, len(bits), 6):
            v = 0
            for b in bits[i:i + 6]:
                v = v << 1 | b
            out += chr(v + 48 if v < 40 else v + 56)
        return out, fill


def minutes(deg):
    return int(round(deg * 600000))


def sentence(total, number, seq, channel, payload, fill):
    body = "AIVDM,%d,%d,%s,%s,%s,%d" % (total, number, seq, channel, payload, fill)
    cs = 0
    for ch in body:
        cs ^= ord(ch)
    return "!%s*%02X" % (body, cs)


def vdm(bits, channel="A", seq="", split=None):
    payload, fill = bits.payload()
    if split is None or len(payload) <= split:
        return [sentence(1, 1, seq, channel, payload, fill)]
    parts = [payload[i:i + split] for i in range(0, len(payload), split)]
    out = []
    for n, part in enumerate(parts, 1):
        out.append(sentence(len(parts), n, seq, channel, part, fill if n == len(parts) else 0))
    return out


def msg123(kind, mmsi, status=0, rot=0, sog=0, acc=0, lon=0.0, lat=0.0, cog=0, hdg=0, sec=0, raw_lon=None,
           raw_lat=None):
    b = Bits().u(6, kind).u(2, 0).u(30, mmsi).u(4, status).s(8, rot).u(10, sog).u(1, acc)
    b.s(28, raw_lon if raw_lon is not None else minutes(lon))
    b.s(27, raw_lat if raw_lat is not None else minutes(lat))
    return b.u(12, cog).u(9, hdg).u(6, sec).u(2, 0).u(3, 0).u(1, 0).u(19, 0)


def msg5(mmsi, imo, callsign, name, shiptype, dims, eta, draught, dest, pad="@"):
    b = Bits().u(6, 5).u(2, 0).u(30, mmsi).u(2, 0).u(30, imo).text(7, callsign, pad).text(20, name, pad)
    b.u(8, shiptype).u(9, dims[0]).u(9, dims[1]).u(6, dims[2]).u(6, dims[3]).u(4, 1)
    b.u(4, eta[0]).u(5, eta[1]).u(5, eta[2]).u(6, eta[3]).u(8, draught).text(20, dest, pad)
    return b.u(1, 0).u(1, 0)


def msg9(mmsi, alt, sog, lon, lat, cog, sec, acc=0, raw_lon=None, raw_lat=None):
    b = Bits().u(6, 9).u(2, 0).u(30, mmsi).u(12, alt).u(10, sog).u(1, acc)
    b.s(28, raw_lon if raw_lon is not None else minutes(lon))
    b.s(27, raw_lat if raw_lat is not None else minutes(lat))
    return b.u(12, cog).u(6, sec).u(8, 0).u(1, 0).u(3, 0).u(1, 0).u(1, 0).u(20, 0)


def msg18(mmsi, sog, lon, lat, cog, hdg, sec, acc=0):
    b = Bits().u(6, 18).u(2, 0).u(30, mmsi).u(8, 0).u(10, sog).u(1, acc).s(28, minutes(lon)).s(27, minutes(lat))
    return b.u(12, cog).u(9, hdg).u(6, sec).u(2, 0).u(1, 1).u(1, 0).u(1, 1).u(1, 1).u(1, 1).u(1, 0).u(1, 0)\
        .u(1, 1).u(19, 0)


def msg19(mmsi, sog, lon, lat, cog, hdg, sec, name, shiptype, dims, acc=0, pad="@"):
    b = Bits().u(6, 19).u(2, 0).u(30, mmsi).u(8, 0).u(10, sog).u(1, acc).s(28, minutes(lon)).s(27, minutes(lat))
    b.u(12, cog).u(9, hdg).u(6, sec).u(4, 0).text(20, name, pad).u(8, shiptype)
    return b.u(9, dims[0]).u(9, dims[1]).u(6, dims[2]).u(6, dims[3]).u(4, 1).u(1, 0).u(1, 0).u(1, 0).u(4, 0)


def msg24a(mmsi, name, pad="@"):
    return Bits().u(6, 24).u(2, 0).u(30, mmsi).u(2, 0).text(20, name, pad)


def msg24b(mmsi, shiptype, callsign, dims, pad="@"):
    b = Bits().u(6, 24).u(2, 0).u(30, mmsi).u(2, 1).u(8, shiptype).text(3, "ACM").u(4, 1).u(20, 12345)
    return b.text(7, callsign, pad).u(9, dims[0]).u(9, dims[1]).u(6, dims[2]).u(6, dims[3]).u(6, 0)


def corpus():
    s = []
    # Class A position reports with the edge values of each field.
    s += vdm(msg123(1, 244000001, status=5, rot=10, sog=1022, acc=1, lon=4.123456, lat=52.654321, cog=3600,
                    hdg=511, sec=60))
    s += vdm(msg123(2, 244000002, status=1, rot=-10, sog=1023, raw_lon=181 * 600000, raw_lat=91 * 600000,
                    cog=1234, hdg=100, sec=30), channel="B")
    s += vdm(msg123(3, 244000003, status=7, rot=127, sog=0, lon=-70.5, lat=-(33 + 52 / 60), cog=0, hdg=359,
                    sec=59))
    s += vdm(msg123(1, 244000004, status=15, rot=-127, sog=123, lon=151.2, lat=-33.85, cog=3599, hdg=0, sec=0))
    s += vdm(msg123(1, 244000005, status=0, rot=-128, sog=55, lon=-0.5, lat=51.5, cog=450, hdg=45, sec=1))
    # Static data of the first ship in two sentences, '@'-padded, with a 64-character first part.
    s += vdm(msg5(244000001, 9123456, "PD1234", "NORDIC STAR", 70, (100, 20, 10, 12), (12, 24, 13, 45), 75,
                  "ROTTERDAM"), seq="3", split=64)
    # Two static reports interleaved on the two radio channels, blank-padded texts.
    a = vdm(msg5(209000111, 8000001, "5BAB1", "AFRODITI", 80, (150, 30, 15, 15), (6, 1, 7, 30), 120,
                 "LIMASSOL", pad=" "), channel="A", seq="1", split=60)
    b = vdm(msg5(338000222, 7000002, "WXY9876", "LADY LIBERTY", 60, (80, 12, 6, 8), (0, 0, 24, 60), 0,
                 "NEW YORK", pad=" "), channel="B", seq="2", split=60)
    s += [a[0], b[0], a[1], b[1]]
    # Search-and-rescue aircraft: altitude at and beyond the top of its range.
    s += vdm(msg9(111000001, 4094, 120, 5.0, 53.0, 900, 10, acc=1))
    s += vdm(msg9(111000002, 4095, 1023, 5.5, 53.5, 3600, 61))
    # Class B reports.
    s += vdm(msg18(366000001, 55, -122.4, 37.8, 2700, 270, 15))
    s += vdm(msg19(366000002, 60, -122.5, 37.9, 1800, 181, 20, "SEA BREEZE", 37, (10, 5, 2, 3), pad=" "))
    s += vdm(msg24a(366000003, "LITTLE WING"))
    s += vdm(msg24b(366000003, 36, "WDC1234", (5, 3, 1, 2)))
    # Part B without part A.
    s += vdm(msg24b(366000004, 30, "WDF4321", (12, 4, 2, 2)), channel="B")
    # A seven-digit MMSI (base-station style, leading zeros).
    s += vdm(msg18(2091234, 0, 33.0, 34.7, 0, 511, 5))
    # A later report of the first ship: the position fields move on, the static data stays.
    s += vdm(msg123(1, 244000001, status=5, rot=10, sog=1022, acc=1, lon=4.2, lat=52.7, cog=3600, hdg=511,
                    sec=60))
    # A position report cut to 24 characters.
    cut = vdm(msg123(1, 244000099, lon=1.0, lat=1.0))[0]
    body = cut[1:cut.index("*")].split(",")
    body[5] = body[5][:24]
    body = ",".join(body)
    cs = 0
    for ch in body:
        cs ^= ord(ch)
    s.append("!%s*%02X" % (body, cs))
    return s


def bench(n):
    out = []
    i = 0
    while len(out) < n:
        mmsi = 235000000 + (i % 150) * 7
        if i % 10 == 9:
            out += vdm(msg5(mmsi, 9000000 + i % 150, "CALL%d" % (i % 150), "SHIP %d" % (i % 150), 70,
                            (50, 10, 5, 5), (5, 20, 12, 0), 60, "SOMEWHERE"), seq=str(i % 10), split=60)
        else:
            out += vdm(msg123(1, mmsi, rot=i % 100, sog=50 + i % 100, lon=4.0 + (i % 150) * 0.01,
                              lat=52.0 + (i % 37) * 0.01, cog=(i * 37) % 3600, hdg=(i * 7) % 360, sec=i % 60))
        i += 1
    return out[:n]


def latest():
    fields = {}
    order = []
    for line in sys.stdin:
        line = line.strip()
        if not line.startswith("{"):
            continue
        rec = json.loads(line)
        mmsi = rec.get("mmsi")
        if mmsi is None:
            continue
        for key, value in rec.items():
            if (mmsi, key) not in fields:
                order.append((mmsi, key))
            fields[(mmsi, key)] = value
    for mmsi, key in order:
        print("%d %s %s" % (mmsi, key, json.dumps(fields[(mmsi, key)])))


def main():
    if sys.argv[1] == "corpus":
        with open(sys.argv[2], "w", newline="") as f:
            f.write("\r\n" + "".join(x + "\r\n" for x in corpus()))
    elif sys.argv[1] == "bench":
        with open(sys.argv[2], "w", newline="") as f:
            f.write("\r\n" + "".join(x + "\r\n" for x in bench(int(sys.argv[3]))))
    elif sys.argv[1] == "latest":
        latest()


main()
