%Chk=water
#P HF/STO-3G Opt(ModRedun) GFInput NoSymm IOp(6/7=3)

Title:

0 1
   O1     0.000000     0.000000     0.120617
   H2     0.000000     0.771562    -0.487886
   H3     0.000000    -0.771562    -0.487886

