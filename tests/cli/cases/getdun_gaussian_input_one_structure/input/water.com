%Chk=water
#P HF/STO-3G Opt

water, then a second job on the same checkpoint

0 1
O   0.000000   0.000000   0.000000
H   0.957200   0.000000   0.000000
H  -0.239988   0.926627   0.000000

--Link1--
%Chk=water
#P HF/STO-3G Freq Geom=Check

frequencies

0 1

