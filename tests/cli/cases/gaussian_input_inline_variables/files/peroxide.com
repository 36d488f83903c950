%Chk=peroxide
#P HF/STO-3G Opt(ModRedun) GFInput NoSymm IOp(6/7=3)

hydrogen peroxide: variables straight after the Z-matrix, no blank line

0 1
   O1
   O2       1  r2
   H3       1  r3    2  a3
   H4       2  r4    1  a4    3  d4

r2     1.450000
r3     0.970000
a3   100.000000
r4     0.970000
a4   100.000000
d4   120.000000

