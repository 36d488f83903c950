#P HF/3-21G

water

0 1
O
H 1 1e300
H 1 0.96 2 104.5

