#p sp

peroxide whose last line names atom 2 as both its bond and its angle atom

0 1
O
O 1 1.45
H 1 0.97 2 100.0
H 2 0.97 2 100.0 3 0.0

