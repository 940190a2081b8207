#!/usr/bin/env python3
"""Writes datum_proj.txt: PROJ's Molodensky transform (cct, Debian proj-bin) of a grid of positions from each
datum of the shift table to WGS 84. Each line: datum, latitude, longitude, WGS 84 latitude, WGS 84 longitude.

Parameters: DMA/NIMA TR 8350.2 three-parameter shifts (CH 1903: the Swiss survey's, EPSG 1766), da and df as
WGS 84 minus local with df scaled by 1e4. PROJ takes the local ellipsoid (a = 6378137 - da, f = f84 - df * 1e-4)
and df unscaled. Run once; the table is committed."""
import pathlib
import subprocess

F84 = 0.00335281066474748
INTL = (-251.0, -0.14192702)
CLARKE66 = (-69.4, -0.37264639)
AUS = (-23.0, -0.00081204)
BESSEL = (739.845, 0.10037483)
DATUMS = {
    1: (INTL, 175, -38, 113), 2: (INTL, -87, -98, -121), 3: (INTL, -86, -98, -119),
    4: ((796.811, 0.11960023), 506, -122, 611), 5: ((573.604, 0.11960023), 375, -111, 431),
    6: (INTL, -225, -65, 9), 7: (AUS, -133, -48, 148), 8: (AUS, -134, -48, 149),
    9: (BESSEL, 674.374, 15.056, 405.346), 10: (CLARKE66, -73, 213, 296), 11: (CLARKE66, -2, 151, 181),
    12: (INTL, 84, -22, 209), 13: (CLARKE66, 42, 124, 147), 14: (CLARKE66, -5, 135, 172),
    15: (CLARKE66, -4, 154, 178), 16: (CLARKE66, -10, 158, 187), 17: (CLARKE66, 0, 125, 201),
    18: (CLARKE66, -3, 142, 183), 19: (CLARKE66, 0, 125, 194), 20: (CLARKE66, -9, 152, 178),
    21: (CLARKE66, 11, 114, 195), 22: (CLARKE66, -8, 160, 176), 23: (CLARKE66, -12, 130, 190),
    24: (CLARKE66, 1, 140, 165), 25: ((0.0, -0.00000016), 0, 0, 0), 26: (CLARKE66, 61, -285, -181),
    27: (CLARKE66, 11, 72, -101), 28: (AUS, -57, 1, -41), 29: (BESSEL, -148, 507, 685),
}
GRID = [(lat, lon) for lat in (-80.0, -45.5, -10.0, 0.0, 23.25, 40.0, 66.6, 85.0)
        for lon in (-179.9999, -135.0, -100.0, -20.125, 0.0, 33.3, 90.0, 151.75, 179.9999)]


def normalise(lon):
    lon = lon % 360.0
    return lon - 360.0 if lon > 180.0 else lon


lines = []
for datum, ((da, df), dx, dy, dz) in DATUMS.items():
    pipeline = ["cct", "-d", "15", "+proj=molodensky", f"+a={6378137.0 - da!r}", f"+f={F84 - df * 1e-4!r}",
                f"+da={da!r}", f"+df={df * 1e-4!r}", f"+dx={dx}", f"+dy={dy}", f"+dz={dz}"]
    stdin = "".join(f"{lon!r} {lat!r} 0 0\n" for lat, lon in GRID)
    out = subprocess.run(pipeline, input=stdin, capture_output=True, text=True, check=True).stdout.split("\n")
    for (lat, lon), row in zip(GRID, out):
        wlon, wlat = (float(v) for v in row.split()[:2])
        lines.append(f"{datum} {lat!r} {lon!r} {wlat:.15f} {normalise(wlon):.15f}")
path = pathlib.Path(__file__).resolve().parent / "datum_proj.txt"
path.write_text("\n".join(lines) + "\n")
