#!/usr/bin/env python3
"""Reference coordinates for geodesy_test.cpp, computed independently of
Korvo: UTM by GeographicLib's TransverseMercatorProj (exact transverse Mercator) on the
International ellipsoid, ED50 cartesian by CartConvert on the same ellipsoid, the ED50 -> WGS84
datum shift by the linearised seven-parameter formula evaluated here in exact rational
arithmetic, and WGS84 geographic by CartConvert -r on the ellipsoid a = 6378137 m,
1/f = 298.2572221. Run it and paste its rows into the test's table. An argument asks for more
decimals ("make_reference_points.py 6": metres to 1e-6 m, pseudo-sexagesimal degrees to
1e-12), as the hand-written output file tests/golden/coordinates_madrid_barcelona.txt needs to
round each value to its column's decimals.
"""
from fractions import Fraction as F
import subprocess
import sys

METRES = int(sys.argv[1]) if len(sys.argv) > 1 else 4
ANGLES = METRES + 6

# name, latitude and longitude as degrees, minutes, seconds (sign on the whole angle), h (m)
POINTS = [
    ("Madrid", (1, 40, 30, "0"), (-1, 3, 30, "0"), "700"),
    ("Barcelona", (1, 41, 22, "30"), (1, 2, 9, "15"), "50"),
    ("Palma", (1, 39, 34, "12.5"), (1, 2, 38, "54.25"), "15"),
    ("Sevilla", (1, 37, 10, "45"), (-1, 5, 59, "30"), "120"),
    ("Coruna", (1, 43, 22, "0"), (-1, 6, 20, "0"), "30"),
]

T = (F("-115.35"), F("-62.155"), F("-211.719"))
D = F("1.3626e-5")
EX, EY, EZ = F("-1.895e-7"), F("7.5957e-6"), F("8.0938e-6")


def degrees(dms):
    sign, d, m, s = dms
    return sign * (F(d) + F(m, 60) + F(s) / 3600)


def pseudo(dms):
    sign, d, m, s = dms
    return sign * (F(d) + F(m, 100) + F(s) / 10000)


def run(args, text):
    return subprocess.run(args, input=text, capture_output=True, text=True, check=True).stdout.split()


for name, lat, lon, h in POINTS:
    la, lo = degrees(lat), degrees(lon)
    inp = f"{float(la):.15f} {float(lo):.15f}\n"
    e30, n30 = run(["TransverseMercatorProj", "-l", "-3", "-k", "0.9996", "-e", "6378388", "1/297", "-p", str(METRES + 5)], inp)[:2]
    e31, n31 = run(["TransverseMercatorProj", "-l", "3", "-k", "0.9996", "-e", "6378388", "1/297", "-p", str(METRES + 5)], inp)[:2]
    X, Y, Z = run(["CartConvert", "-e", "6378388", "1/297", "-p", str(METRES + 5)], f"{float(la):.15f} {float(lo):.15f} {h}\n")
    X, Y, Z = F(X), F(Y), F(Z)
    Xw = X + T[0] + D * X + EZ * Y - EY * Z
    Yw = Y + T[1] + D * Y - EZ * X + EX * Z
    Zw = Z + T[2] + D * Z + EY * X - EX * Y
    lw, low, hw = run(["CartConvert", "-r", "-e", "6378137", "1/298.2572221", "-p", str(METRES + 5)],
                      f"{float(Xw):.{METRES + 5}f} {float(Yw):.{METRES + 5}f} {float(Zw):.{METRES + 5}f}\n")

    def to_pseudo(deg_text):
        v = F(deg_text)
        s = -1 if v < 0 else 1
        v = abs(v)
        d = int(v)
        m = int((v - d) * 60)
        sec = (v - d - F(m, 60)) * 3600
        return float(s * (d + F(m, 100) + sec / 10000))

    e30 = float(F(e30) + 500000); e31 = float(F(e31) + 500000)
    print(f'    {{"{name}", {{{float(pseudo(lat)):.{ANGLES}f}, {float(pseudo(lon)):.{ANGLES}f}, {h}}}, '
          f'{{{e30:.{METRES}f}, {float(n30):.{METRES}f}}}, {{{e31:.{METRES}f}, {float(n31):.{METRES}f}}}, '
          f'{{{float(X):.{METRES}f}, {float(Y):.{METRES}f}, {float(Z):.{METRES}f}}}, '
          f'{{{float(Xw):.{METRES}f}, {float(Yw):.{METRES}f}, {float(Zw):.{METRES}f}}}, '
          f'{{{to_pseudo(lw):.{ANGLES}f}, {to_pseudo(low):.{ANGLES}f}, {float(hw):.{METRES}f}}}}},')
