#!/usr/bin/python3
"""Writes ../data/rise_set.txt: sun and moon rise and set times from PyEphem (Debian python3-ephem) for a
table of places and dates. Horizon -0:50 measured at the body's centre with no refraction model
(pressure 0), which is the -0.83 degree altitude the library searches for.
Each line: body start_unix latitude longitude_east next_rise_unix next_set_unix (-1: none within 40 h)."""
import calendar
import ephem

PLACES = [(0.0, 0.0), (42.35, -71.05), (30.4, -87.2), (51.5, -0.1), (-33.9, 151.2), (60.2, 24.9),
          (61.2, -149.9), (69.65, 18.95), (78.2, 15.6), (-54.8, -68.3), (35.7, 139.7), (-77.8, 166.7)]
DATES = ["2000/3/1", "2004/6/21", "2010/12/21", "2017/9/23", "2023/6/15", "2031/1/10", "2044/7/4",
         "2050/11/30"]


def unix(d):
    return calendar.timegm(ephem.Date(d).tuple()[:5] + (0,)) + ephem.Date(d).tuple()[5]


def event(fn, obs, body, start):
    # ephem gives up when the body stays up or down through the following day: try later starts too.
    for hours in range(0, 40, 6):
        obs.date = ephem.Date(start + hours / 24.0)
        try:
            t = fn(body, use_center=True)
        except (ephem.AlwaysUpError, ephem.NeverUpError):
            continue
        return unix(t) if (t - start) < 40.0 / 24 else -1
    return -1


with open("../data/rise_set.txt", "w") as out:
    out.write("# " + __doc__.replace("\n", "\n# ") + "\n")
    for date in DATES:
        start = ephem.Date(date)
        for lat, lon in PLACES:
            obs = ephem.Observer()
            obs.lat, obs.lon = str(lat), str(lon)
            obs.pressure = 0
            obs.horizon = "-0:50"
            for name, body in (("sun", ephem.Sun()), ("moon", ephem.Moon())):
                rise = event(obs.next_rising, obs, body, start)
                sset = event(obs.next_setting, obs, body, start)
                out.write(f"{name} {unix(start):.0f} {lat} {lon} {rise:.0f} {sset:.0f}\n")
