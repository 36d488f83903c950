#p mp2/6-31g(d) opt

hydrogen peroxide: variables straight after the Z-matrix, no blank line

0 1
O1
O2  O1  roo
H3  O1  roh  O2  aooh
H4  O2  roh  O1  aooh  H3  dhooh
 Variables:
roo=1.45
roh   0.97
aooh 100.0
 Constants:
dhooh 120.0

