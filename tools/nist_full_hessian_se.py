#!/usr/bin/env python3
"""Standard errors of the NIST StRD nonlinear problems from the exact Hessian
of the residual sum of squares at the certified values, for the covariance
grids' outside check (tests/data/nist_full_hessian_se.txt).

The covariance grids estimate the full Hessian H of the sum of squares S, and
with the sum-of-squares constant c = (N - p) / (2 S) their covariance is
s^2 (H / 2)^-1 with s^2 = S / (N - p). The certified standard deviations are
s^2 (J'J)^-1 instead (Gauss-Newton); the two differ by the residual
curvature term sum r_i d2f_i. This script computes the exact H by hyper-dual
numbers (exact first and second derivatives, no step), so the grids can be
judged against the quantity they estimate as well as against the certified
values. Plain Python, no packages.

    python3 tools/nist_full_hessian_se.py tests/data/nist > tests/data/nist_full_hessian_se.txt
"""
import math
import re
import sys


class HD:
    """a + b e1 + c e2 + d e1 e2 with e1^2 = e2^2 = 0."""

    def __init__(self, a, b=0.0, c=0.0, d=0.0):
        self.a, self.b, self.c, self.d = a, b, c, d

    @staticmethod
    def of(x):
        return x if isinstance(x, HD) else HD(float(x))

    def __add__(self, o):
        o = HD.of(o)
        return HD(self.a + o.a, self.b + o.b, self.c + o.c, self.d + o.d)

    __radd__ = __add__

    def __neg__(self):
        return HD(-self.a, -self.b, -self.c, -self.d)

    def __sub__(self, o):
        return self + (-HD.of(o))

    def __rsub__(self, o):
        return HD.of(o) - self

    def __mul__(self, o):
        o = HD.of(o)
        return HD(self.a * o.a, self.a * o.b + self.b * o.a, self.a * o.c + self.c * o.a,
                  self.a * o.d + self.b * o.c + self.c * o.b + self.d * o.a)

    __rmul__ = __mul__

    def apply(self, f, f1, f2):
        """g(self) for g with value f, first derivative f1, second f2 at self.a."""
        return HD(f, f1 * self.b, f1 * self.c, f1 * self.d + f2 * self.b * self.c)

    def inv(self):
        a = self.a
        return self.apply(1 / a, -1 / a ** 2, 2 / a ** 3)

    def __truediv__(self, o):
        return self * HD.of(o).inv()

    def __rtruediv__(self, o):
        return HD.of(o) * self.inv()

    def __pow__(self, p):
        a = self.a
        return self.apply(a ** p, p * a ** (p - 1), p * (p - 1) * a ** (p - 2))


def exp(x):
    x = HD.of(x)
    e = math.exp(x.a)
    return x.apply(e, e, e)


def cos(x):
    x = HD.of(x)
    return x.apply(math.cos(x.a), -math.sin(x.a), -math.cos(x.a))


def sin(x):
    x = HD.of(x)
    return x.apply(math.sin(x.a), math.cos(x.a), -math.sin(x.a))


def atan(x):
    x = HD.of(x)
    a = x.a
    return x.apply(math.atan(a), 1 / (1 + a * a), -2 * a / (1 + a * a) ** 2)


PI = math.pi
MODELS = {
    "Misra1a": lambda b, x: b[0] * (1 - exp(-b[1] * x)),
    "BoxBOD": lambda b, x: b[0] * (1 - exp(-b[1] * x)),
    "Misra1b": lambda b, x: b[0] * (1 - (1 + b[1] * x / 2) ** -2),
    "Misra1c": lambda b, x: b[0] * (1 - (1 + 2 * b[1] * x) ** -0.5),
    "Misra1d": lambda b, x: b[0] * b[1] * x * (1 + b[1] * x) ** -1,
    "Chwirut1": lambda b, x: exp(-b[0] * x) / (b[1] + b[2] * x),
    "Chwirut2": lambda b, x: exp(-b[0] * x) / (b[1] + b[2] * x),
    "DanWood": lambda b, x: b[0] * exp(b[1] * math.log(x)),
    "Lanczos1": lambda b, x: b[0] * exp(-b[1] * x) + b[2] * exp(-b[3] * x) + b[4] * exp(-b[5] * x),
    "Lanczos2": lambda b, x: b[0] * exp(-b[1] * x) + b[2] * exp(-b[3] * x) + b[4] * exp(-b[5] * x),
    "Lanczos3": lambda b, x: b[0] * exp(-b[1] * x) + b[2] * exp(-b[3] * x) + b[4] * exp(-b[5] * x),
    "Gauss1": lambda b, x: b[0] * exp(-b[1] * x) + b[2] * exp(-((x - b[3]) ** 2) / b[4] ** 2)
    + b[5] * exp(-((x - b[6]) ** 2) / b[7] ** 2),
    "Hahn1": lambda b, x: (b[0] + b[1] * x + b[2] * x * x + b[3] * x ** 3) / (1 + b[4] * x + b[5] * x * x + b[6] * x ** 3),
    "Kirby2": lambda b, x: (b[0] + b[1] * x + b[2] * x * x) / (1 + b[3] * x + b[4] * x * x),
    "MGH09": lambda b, x: b[0] * (x * x + x * b[1]) / (x * x + x * b[2] + b[3]),
    "MGH10": lambda b, x: b[0] * exp(b[1] / (x + b[2])),
    "MGH17": lambda b, x: b[0] + b[1] * exp(-x * b[3]) + b[2] * exp(-x * b[4]),
    "Eckerle4": lambda b, x: (b[0] / b[1]) * exp(-0.5 * ((x - b[2]) / b[1]) ** 2),
    "Rat42": lambda b, x: b[0] / (1 + exp(b[1] - b[2] * x)),
    "Rat43": lambda b, x: b[0] / exp(log(1 + exp(b[1] - b[2] * x)) / b[3]),
    "Bennett5": lambda b, x: b[0] * exp(-log(b[1] + x) / b[2]),
    "Roszman1": lambda b, x: b[0] - b[1] * x - atan(b[2] / (x - b[3])) / PI,
    "ENSO": lambda b, x: b[0] + b[1] * math.cos(2 * PI * x / 12) + b[2] * math.sin(2 * PI * x / 12)
    + b[4] * cos(2 * PI * x / b[3]) + b[5] * sin(2 * PI * x / b[3])
    + b[7] * cos(2 * PI * x / b[6]) + b[8] * sin(2 * PI * x / b[6]),
}
MODELS["Gauss2"] = MODELS["Gauss3"] = MODELS["Gauss1"]
MODELS["Thurber"] = MODELS["Hahn1"]
# Nelson models log y from two predictors.
MODELS["Nelson"] = lambda b, x: b[0] - b[1] * x[0] * exp(-b[2] * x[1])


def log(x):
    x = HD.of(x)
    return x.apply(math.log(x.a), 1 / x.a, -1 / x.a ** 2)


def read(path):
    certified, y, x, in_data = [], [], [], False
    for line in open(path):
        m = re.match(r"^\s*b(\d+)\s*=\s*(\S+)\s+(\S+)\s+(\S+)\s+(\S+)\s*$", line)
        if in_data:
            f = line.split()
            if len(f) == 2:
                y.append(float(f[0]))
                x.append(float(f[1]))
            elif len(f) == 3:
                y.append(math.log(float(f[0])))
                x.append((float(f[1]), float(f[2])))
        elif m:
            certified.append(float(m.group(4)))
        elif line.startswith("Data:") and "y" in line and "Response" not in line:
            in_data = True
    return certified, x, y


def solve_inverse(h):
    n = len(h)
    a = [row[:] + [1.0 if i == j else 0.0 for j in range(n)] for i, row in enumerate(h)]
    for c in range(n):
        p = max(range(c, n), key=lambda r: abs(a[r][c]))
        a[c], a[p] = a[p], a[c]
        pivot = a[c][c]
        a[c] = [v / pivot for v in a[c]]
        for r in range(n):
            if r != c and a[r][c] != 0:
                m = a[r][c]
                a[r] = [u - m * v for u, v in zip(a[r], a[c])]
    return [row[n:] for row in a]


def main(folder):
    for name in sorted(MODELS):
        certified, xs, ys = read(f"{folder}/{name}.dat")
        p, model = len(certified), MODELS[name]
        hessian = [[0.0] * p for _ in range(p)]
        rss = 0.0
        for i in range(p):
            for j in range(i, p):
                b = [HD(v, 1.0 if k == i else 0.0, 1.0 if k == j else 0.0) for k, v in enumerate(certified)]
                s = HD(0.0)
                for x, y in zip(xs, ys):
                    r = y - model(b, x)
                    s = s + r * r
                hessian[i][j] = hessian[j][i] = s.d
                rss = s.a
        s2 = rss / (len(xs) - p)
        inverse = solve_inverse([[v / 2 for v in row] for row in hessian])
        print(name, " ".join(repr(math.sqrt(s2 * inverse[k][k])) if inverse[k][k] > 0 else "-1" for k in range(p)))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "tests/data/nist")
