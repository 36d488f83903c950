%chk=methanol_mixed
#p hf/3-21g opt

methanol: Cartesian carbon, oxygen and one hydrogen, Z-matrix rows for the rest

0 1
C   0.000000   0.000000   0.000000
O   0.000000   0.000000   1.430000
H   0.000000   1.030000  -0.360000
H  1  1.09  2  109.5  3  120.0
H  1  1.09  2  109.5  3 -120.0
H  2  0.96  1  109.5  3  180.0

