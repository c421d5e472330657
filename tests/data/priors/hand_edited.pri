10
  1   U 1.000E-100 1.000E-100     Unused     Unused   Uniform - unbounded
  2   n-2.500E+000 1.000E-001     Unused     Unused   Gaussian or Normal
  3   T-1.000E+000 0.000E+000 2.000E+000 5.000E-001   Uniform - bounded
  4   E 4.000E+000 4.000E+000     Unused     Unused   Exponential
  5   G 4.000E+000 2.000E+000     Unused     Unused   Gamma
  6   B 5.000E-001 1.000E-001     Unused     Unused   Beta
  7   S-3.000E+000 0.000E+000     Unused     Unused   Left-side cliff
  8   D 1.250E+002 2.000E+000     Unused     Unused   Right-side cliff
  9   L 2.000E+000 1.000E+000     Unused     Unused   Ln-normal
 10   T-5.000E+001 1.000E-002     -3.5e1  7.0E-3
