#p b3lyp/6-31g(d) opt

water with its last hydrogen frozen: a freeze flag on the last line only

0 1
O     0.000000   0.000000   0.119262
H     0.000000   0.763239  -0.477047
H    -1   0.000000  -0.763239  -0.477047

