%chk=oh
#p ub3lyp/6-31+g(d) opt

hydroxyl radical cation, a Z-matrix

1,3
O
H 1 0.98

