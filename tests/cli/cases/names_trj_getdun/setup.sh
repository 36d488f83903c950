cp "$DATA"/../../examples/dhfr10.crd dhfr10.trj
