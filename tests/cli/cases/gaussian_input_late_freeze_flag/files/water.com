%Chk=water
#P HF/STO-3G Opt(ModRedun) GFInput NoSymm IOp(6/7=3)

water with its last hydrogen frozen: a freeze flag on the last line only

0 1
   O1     0.000000     0.000000     0.119262
   H2     0.000000     0.763239    -0.477047
   H3     0.000000    -0.763239    -0.477047

