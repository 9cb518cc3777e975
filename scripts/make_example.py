#!/usr/bin/env python3
"""Writes examples/red_ejemplo.txt, Korvo's sample project.

A mixed network of eleven vertices north of Segovia (Spain), three of them fixed. The
observations are generated from one set of true coordinates with Korvo's observation model
and small random errors, so an adjustment of the file recovers the truth:

  * local horizon at the station from its geodetic latitude and longitude on WGS84:
    e = (-sin l, cos l, 0), n = (-sin p cos l, -sin p sin l, cos p), u = (cos p cos l, cos p sin l, sin p);
  * azimuth A = four-quadrant arctangent of (e.D, n.D) in 0..400 gon; zenith distance
    z = arccos(u.D / |D|);
  * horizontal direction = A + (xi sin A / tan z + eta (tan p - cos A / tan z)) / 10000
    - orientation of the station's set, brought into 0..400 gon;
  * zenith angle = z - K (200/pi) D / R - (xi cos A + eta sin A) / 10000, K = 0.08, R = 6370000 m;
  * slope distance = |D|; GPS baseline = coordinate differences, with errors drawn from the
    baseline's own (correlated) variance-covariance matrix.

xi and eta are the deflection components (D.V.NS, D.V.EW) of the station in cc. The lines follow
the fixed-column layout of the project file (Windows-1252, CR LF). The unknown vertices are
written with approximate coordinates a few centimetres off the truth.

Run from the repository root: python3 scripts/make_example.py
"""

import math
import random
from pathlib import Path

PI = 3.14159265358979
A_WGS84 = 6378137.0
F_WGS84 = 1.0 / 298.257223563
E2 = F_WGS84 * (2.0 - F_WGS84)
R_REFRACTION = 6370000.0
K_REFRACTION = 0.08
GON = PI / 200.0

rng = random.Random(20261206)

# Centre of the network: open country north of Segovia.
LAT0, LON0 = 40.9780, -4.1150
M_PER_DEG_LAT = 111030.0
M_PER_DEG_LON = 111320.0 * math.cos(math.radians(LAT0))

# number, kind, east and north of the centre (m), ellipsoidal height (m),
# deflection xi (D.V.NS) and eta (D.V.EW) in cc, deflection unknown in the file
VERTICES = [
    (1, "Fijo", 0.0, 0.0, 1002.412, 12.4, -8.6, False),
    (2, "Fijo", 3210.0, 815.0, 1046.183, 10.9, -9.8, False),
    (3, "Incógnita", 1480.0, 2630.0, 1121.507, 13.1, -7.2, False),
    (4, "Incógnita", -1195.0, 2110.0, 1088.936, 14.0, -6.5, False),
    (5, "Incógnita", -2310.0, -420.0, 985.271, 12.2, -5.9, False),
    (6, "Incógnita", -905.0, -2240.0, 960.644, 11.6, -7.7, False),
    (7, "Incógnita", 1830.0, -1915.0, 1010.058, 11.3, -9.1, False),
    (8, "Incógnita", 4095.0, -1180.0, 1072.799, 10.2, -10.4, False),
    (9, "Incógnita", 690.0, 905.0, 1030.315, 15.8, -19.6, True),
    (10, "Incógnita", 2620.0, 1935.0, 1150.862, 11.9, -8.3, False),
    (11, "Fijo", -2790.0, 1010.0, 1211.330, 13.7, -5.1, False),
]

# Direction sets: station, its targets in the order observed.
DIRECTION_SETS = [
    (1, [2, 9, 3, 4, 11, 5, 6, 7]),
    (2, [8, 7, 1, 9, 3, 10]),
    (3, [10, 2, 9, 4]),
    (5, [11, 4, 1, 6]),
    (7, [8, 2, 9, 1, 6]),
    (9, [3, 10, 2, 7, 6, 1, 5, 4]),
    (11, [4, 1, 5]),
]
# Zenith angles: (station, target); several lines both ways.
ZENITH_LINES = [(1, 2), (2, 1), (1, 9), (9, 1), (1, 4), (3, 10), (10, 3), (5, 11), (11, 5),
                (7, 8), (9, 7), (7, 9), (2, 10), (11, 4)]
# Slope distances.
DISTANCE_LINES = [(1, 2), (1, 9), (1, 5), (1, 6), (2, 8), (2, 10), (3, 4), (3, 9), (5, 6),
                  (7, 8), (7, 6), (9, 10), (9, 4), (11, 4), (11, 5)]
# GPS baselines.
BASELINES = [(1, 3), (2, 8), (11, 6), (1, 7), (2, 10), (11, 4), (9, 5)]

DIRECTION_SIGMA_CC, DIRECTION_STDDEV = 4.0, "6"
ZENITH_SIGMA_CC, ZENITH_STDDEV = 7.0, "10"
DISTANCE_SIGMA_M, DISTANCE_STDDEV = 0.002, ".003"


def cartesian(lat_deg, lon_deg, h):
    """WGS84 geocentric X, Y, Z (m) of a geodetic position."""
    p, l = math.radians(lat_deg), math.radians(lon_deg)
    n = A_WGS84 / math.sqrt(1.0 - E2 * math.sin(p) ** 2)
    return ((n + h) * math.cos(p) * math.cos(l), (n + h) * math.cos(p) * math.sin(l),
            (n * (1.0 - E2) + h) * math.sin(p))


def geodetic(x, y, z):
    """Latitude and longitude (radians) by iteration; exact for these heights."""
    p = math.hypot(x, y)
    lat = math.atan2(z, p * (1.0 - E2))
    for _ in range(10):
        n = A_WGS84 / math.sqrt(1.0 - E2 * math.sin(lat) ** 2)
        h = p / math.cos(lat) - n
        lat = math.atan2(z, p * (1.0 - E2 * n / (n + h)))
    return lat, math.atan2(y, x)


def frame(lat, lon):
    e = (-math.sin(lon), math.cos(lon), 0.0)
    n = (-math.sin(lat) * math.cos(lon), -math.sin(lat) * math.sin(lon), math.cos(lat))
    u = (math.cos(lat) * math.cos(lon), math.cos(lat) * math.sin(lon), math.sin(lat))
    return e, n, u


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def wrap400(gon):
    while gon < 0.0:
        gon += 400.0
    while gon >= 400.0:
        gon -= 400.0
    return gon


# True coordinates, rounded to the millimetre: the fixed vertices are written as they are.
truth = {}
for number, kind, east, north, h, xi, eta, unknown_dv in VERTICES:
    lat = LAT0 + north / M_PER_DEG_LAT
    lon = LON0 + east / M_PER_DEG_LON
    truth[number] = tuple(round(c, 3) for c in cartesian(lat, lon, h))
info = {v[0]: v for v in VERTICES}


def sight(station, target):
    """Azimuth (gon), zenith distance (gon), slope distance (m) and the station's frame."""
    s, t = truth[station], truth[target]
    d = tuple(b - a for a, b in zip(s, t))
    dist = math.sqrt(dot(d, d))
    lat, lon = geodetic(*s)
    e, n, u = frame(lat, lon)
    azimuth = wrap400(math.atan2(dot(e, d), dot(n, d)) / GON)
    zenith = math.acos(dot(u, d) / dist) / GON
    return azimuth, zenith, dist, lat


def direction(station, target, orientation):
    azimuth, zenith, _, lat = sight(station, target)
    xi, eta = info[station][5], info[station][6]
    a, z = azimuth * GON, zenith * GON
    corrected = azimuth + (xi * math.sin(a) / math.tan(z) + eta * (math.tan(lat) - math.cos(a) / math.tan(z))) / 1e4
    return wrap400(corrected - orientation + rng.gauss(0.0, DIRECTION_SIGMA_CC) / 1e4)


def zenith_angle(station, target):
    azimuth, zenith, dist, _ = sight(station, target)
    xi, eta = info[station][5], info[station][6]
    a = azimuth * GON
    refraction = K_REFRACTION * (200.0 / PI) * dist / R_REFRACTION
    deflection = (xi * math.cos(a) + eta * math.sin(a)) / 1e4
    return zenith - refraction - deflection + rng.gauss(0.0, ZENITH_SIGMA_CC) / 1e4


def slope_distance(station, target):
    return sight(station, target)[2] + rng.gauss(0.0, DISTANCE_SIGMA_M)


def baseline_covariance(station, target):
    """Covariance of a baseline from east, north and up sigmas (a few mm, growing with length),
    rotated into the geocentric frame, so the X, Y, Z components are correlated."""
    dist = sight(station, target)[2]
    lat, lon = geodetic(*truth[station])
    e, n, u = frame(lat, lon)
    sigma_h = 0.002 + 0.5e-6 * dist
    sigma_v = 0.004 + 1.0e-6 * dist
    local = [(e, sigma_h * rng.uniform(0.9, 1.1)), (n, sigma_h * rng.uniform(0.9, 1.1)),
             (u, sigma_v * rng.uniform(0.9, 1.1))]
    cov = [[sum(vec[i] * vec[j] * s * s for vec, s in local) for j in range(3)] for i in range(3)]
    return cov


def cholesky3(c):
    l = [[0.0] * 3 for _ in range(3)]
    for i in range(3):
        for j in range(i + 1):
            s = c[i][j] - sum(l[i][k] * l[j][k] for k in range(j))
            l[i][j] = math.sqrt(s) if i == j else s / l[j][j]
    return l


# ---- number texts --------------------------------------------------------------------------

def fixed(value, decimals):
    text = f"{value:.{decimals}f}"
    return "0" if float(text) == 0.0 else text


def covariance_text(value):
    """A covariance element in exponent form, 3 significant digits: -1.23E-05."""
    mantissa, exponent = f"{value:.2E}".split("E")
    return f"{mantissa}E{int(exponent):+03d}"


# ---- the fixed-column lines of the project file ---------------------------------------------

def pad(text, width):
    if len(text) > width:
        raise ValueError(f"{text!r} does not fit {width} columns")
    return text.rjust(width)


def vertex_line(number, kind, x, y, z, ns, ew, unknown_dv):
    if unknown_dv:
        ns = ew = "      ?"
    line = ("Punto" + pad(str(number), 4) + " " + pad("(" + kind + ")", 11) + "  X =" + pad(x, 12) +
            "  Y =" + pad(y, 12) + "  Z =" + pad(z, 12) + "  D.V.NS =" + pad(ns, 7) +
            "  D.V.EW =" + pad(ew, 7))
    assert len(line) == 106
    return line + "\r\n"


def classical_line(kind, station, target, value, stddev):
    line = (pad(kind, 10) + " " + " de " + pad(str(station), 4) + "    a   " + pad(str(target), 4) + "  " +
            "     Valor: " + pad(value, 10) + "  " + "     Desviación típica: " + pad(stddev, 6) + " " * 19)
    assert len(line) == 106
    return line + "\r\n"


def gps_block(station, target, d, c):
    l1 = ("Línea base GPS de " + pad(str(station), 4) + "   a " + pad(str(target), 4) + "  " + "   IncrX: " +
          pad(d[0], 10) + "  " + "   Matriz v-c: " + pad(c[0], 10) + "  " + pad(c[1], 10) + "  " +
          pad(c[2], 10) + "   ")
    l2 = " " * 33 + "   IncrY: " + pad(d[1], 10) + " " * 29 + pad(c[3], 10) + "  " + pad(c[4], 10) + "   "
    l3 = " " * 33 + "   IncrZ: " + pad(d[2], 10) + " " * 41 + pad(c[5], 10) + "  "
    assert (len(l1), len(l2), len(l3)) == (107, 107, 106)
    return l1 + "\r\n" + l2 + "\r\n" + l3 + "\r\n"


# ---- sections -----------------------------------------------------------------------------

vertex_text = ""
for number, kind, east, north, h, xi, eta, unknown_dv in VERTICES:
    x, y, z = truth[number]
    if kind == "Incógnita":  # approximate coordinates a few centimetres off
        x, y, z = (c + rng.uniform(-0.06, 0.06) for c in (x, y, z))
    vertex_text += vertex_line(number, kind, fixed(x, 3), fixed(y, 3), fixed(z, 3), fixed(xi, 1), fixed(eta, 1),
                               unknown_dv)

observations = []
for station, targets in DIRECTION_SETS:
    orientation = rng.uniform(0.0, 400.0)
    for target in targets:
        observations.append(("Dirección", station, target, fixed(direction(station, target, orientation), 5),
                             DIRECTION_STDDEV))
for station, target in ZENITH_LINES:
    observations.append(("Cenital", station, target, fixed(zenith_angle(station, target), 5), ZENITH_STDDEV))
for station, target in DISTANCE_LINES:
    observations.append(("Geométrica", station, target, fixed(slope_distance(station, target), 4),
                         DISTANCE_STDDEV))
classical_text = "".join(classical_line(*o) for o in observations)

gps_text = ""
for station, target in BASELINES:
    cov = baseline_covariance(station, target)
    l = cholesky3(cov)
    g = [rng.gauss(0.0, 1.0) for _ in range(3)]
    noise = [sum(l[i][k] * g[k] for k in range(3)) for i in range(3)]
    d = [truth[target][i] - truth[station][i] + noise[i] for i in range(3)]
    c = [cov[0][0], cov[0][1], cov[0][2], cov[1][1], cov[1][2], cov[2][2]]
    gps_text += gps_block(station, target, [fixed(v, 4) for v in d], [covariance_text(v) for v in c])

# ---- the file -----------------------------------------------------------------------------

crlf = "\r\n"
text = ("Fichero de datos de la aplicación KORVO" + crlf + crlf +
        "Archivo examples/red_ejemplo.txt   06/12/2026" + crlf * 3 +
        "VÉRTICES DE LA RED" + crlf * 2 + vertex_text + crlf * 3 +
        "OBSERVACIONES CLÁSICAS" + crlf * 2 + classical_text + crlf * 3 +
        "OBSERVACIONES GPS" + crlf * 2 + gps_text + crlf)
out = Path(__file__).resolve().parent.parent / "examples" / "red_ejemplo.txt"
out.write_bytes(text.encode("cp1252"))
print(f"{out}: {len(VERTICES)} vértices, {len(observations)} observaciones clásicas, {len(BASELINES)} líneas base")
