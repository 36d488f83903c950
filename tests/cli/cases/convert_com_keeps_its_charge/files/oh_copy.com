%Chk=oh_copy
#P HF/STO-3G Opt(ModRedun) GFInput NoSymm IOp(6/7=3)

hydroxyl radical cation, a Z-matrix

1 3
   O1
   H2       1     0.980000

