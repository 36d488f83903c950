%Chk=dimer
#P HF/STO-3G Opt(ModRedun) GFInput NoSymm IOp(6/7=3)

water with the basis of its partner on ghost atoms (Bq), a dummy atom (X) and carbon-13

0 1
   O1    -1.551007    -0.114520     0.000000
   H2    -1.934259     0.762503     0.000000
   H3    -0.599677     0.040712     0.000000
   X4     1.350625     0.111469     0.000000
   X5     1.680398    -0.373741    -0.758561
   X6     1.680398    -0.373741     0.758561
   X7     0.000000     0.000000     1.000000
   C8     3.000000     0.000000     0.000000
   C9     4.400000     0.000000     0.000000

