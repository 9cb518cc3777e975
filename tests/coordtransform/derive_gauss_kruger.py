#!/usr/bin/env python3
"""Derives the Gauss-Krüger (transverse Mercator) series used by coordtransform/geodesy.cpp.

The projection is the conformal map  y + i x = M(q + i l)  where M is the meridian arc as a
function of the isometric latitude q and l is the longitude from the central meridian.
Expanding it as a Taylor series in i l gives the forward series; the inverse map
q + i l = Q(y + i x), expanded about the footpoint latitude, gives the inverse series. This is
the classical derivation (Krüger 1912; e.g. Hofmann-Wellenhof, Lichtenegger & Wasle, "GNSS",
section 10.2.3; Torge & Müller, "Geodesy", 4th ed., section 4.4.2).

Functions of the latitude are written with  t = tan(phi),  n = eta^2 = e'^2 cos^2(phi),
N = a / sqrt(1 - e^2 sin^2 phi)  and  c = cos(phi), whose derivatives along phi are
  dt = 1 + t^2,  dn = -2 n t,  dN = N n t / (1 + n),  dc = -c t,
and  d/dq = (1 + n) c d/dphi  (since dq/dphi = rho / (N cos phi) = 1 / ((1 + n) cos phi)).

Run:  python3 tests/coordtransform/derive_gauss_kruger.py
It prints every polynomial in the form used in the code.
"""
import sympy as sp

t, n, N, c, x, l = sp.symbols('t n N c x l')


def d_phi(f):
    return (sp.diff(f, t) * (1 + t**2) + sp.diff(f, n) * (-2 * n * t)
            + sp.diff(f, N) * N * n * t / (1 + n) + sp.diff(f, c) * (-c * t))


def d_q(f):
    return sp.cancel((1 + n) * c * d_phi(f))


def poly_text(expr):
    p = sp.Poly(sp.expand(expr), n, t)
    return sp.expand(expr)


def forward():
    # M^(k) for k = 1..9; M' = N cos(phi).
    derivs = {1: N * c}
    for k in range(2, 10):
        derivs[k] = d_q(derivs[k - 1])
    print("Forward easting x = sum over odd k of N c^k P_k l^k / k!")
    for k in (1, 3, 5, 7, 9):
        sign = (-1) ** ((k - 1) // 2)
        p = sp.expand(sp.cancel(sign * derivs[k] / (N * c**k)))
        print(f"  P{k} =", p)
    print("Forward northing y = M + sum over even k of N t c^k P_k l^k / k!")
    for k in (2, 4, 6, 8):
        sign = (-1) ** (k // 2)
        p = sp.expand(sp.cancel(sign * derivs[k] / (N * t * c**k)))
        print(f"  P{k} =", p)


def inverse():
    # Q = inverse of M: Q' = 1/(N c), d/ds = (1 + n)/N d/dphi.
    def d_s(f):
        return sp.cancel((1 + n) / N * d_phi(f))
    q = {1: 1 / (N * c)}
    for k in range(2, 10):
        q[k] = d_s(q[k - 1])
    # longitude: l = sum over odd k of (-1)^((k-1)/2) x^k / k! Q^(k)
    print("Inverse longitude l = sum over odd k of (-1)^((k-1)/2) R_k x^k / (k! N^k c)")
    for k in (1, 3, 5, 7):
        r = sp.expand(sp.cancel(q[k] * N**k * c))
        print(f"  R{k} =", r)
    # isometric latitude offset, then phi by Taylor expansion in dq.
    dq = sum((-1) ** (k // 2) * x**k / sp.factorial(k) * q[k] for k in (2, 4, 6, 8))
    phi_derivs = {1: (1 + n) * c}
    for j in range(2, 5):
        phi_derivs[j] = d_q(phi_derivs[j - 1])
    dphi = sum(dq**j / sp.factorial(j) * phi_derivs[j] for j in range(1, 5))
    dphi = sp.expand(sp.series(sp.expand(dphi), x, 0, 9).removeO())
    print("Inverse latitude phi = phi1 + sum over even k of (-1)^(k/2) t S_k x^k / (k! N^k)")
    for k in (2, 4, 6, 8):
        coeff = dphi.coeff(x, k)
        s = sp.expand(sp.cancel(coeff * (-1) ** (k // 2) * sp.factorial(k) * N**k / t))
        print(f"  S{k} =", s)


if __name__ == '__main__':
    forward()
    inverse()
