#p hf/sto-3g

hydrogen peroxide whose last atom refers to the same atom twice: no place for it

0 1
O
O  1  1.45
H  1  0.97  2  100.0
H  2  0.97  2  100.0  3  0.0

