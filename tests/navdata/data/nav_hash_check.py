#!/usr/bin/env python3
"""Checks the unit's waypoint and route hashes against CRC-16/XMODEM from crcmod.

Input lines: "W <28 bytes hex> <hash hex>" for a waypoint slot image, "R <words hex, high byte first> <hash hex>"
for a route's word sequence. The unit shifts each byte in at the low end of the register, so its value is
CRC-16/XMODEM of all bytes but the last two, XOR those two read big-endian. Prints "ok N" or the first mismatch.
"""
import sys

import crcmod.predefined


def expected(data):
    xmodem = crcmod.predefined.mkCrcFun("xmodem")
    return xmodem(data[:-2]) ^ (data[-2] << 8 | data[-1])


def main():
    count = 0
    for line in open(sys.argv[1]):
        kind, data, value = line.split()
        data = bytes.fromhex(data)
        if kind == "W" and len(data) != 28:
            print("bad waypoint image length", len(data))
            return 1
        if expected(data) != int(value, 16):
            print("mismatch", kind, data.hex(), value, hex(expected(data)))
            return 1
        count += 1
    print("ok", count)
    return 0


if __name__ == "__main__":
    sys.exit(main())
