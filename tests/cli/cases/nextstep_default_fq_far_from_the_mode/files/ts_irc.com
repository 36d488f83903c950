%Chk=ts_irc
#P HF/STO-3G Opt(ModRedun) GFInput NoSymm IOp(6/7=3)

Title:

0 1
   C1    -0.645669    -0.031135     0.000000
   N2     0.555880    -0.031910     0.000000
   H3    -0.025346     0.811768     0.000000

