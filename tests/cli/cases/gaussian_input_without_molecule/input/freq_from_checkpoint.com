%chk=check.chk
#p b3lyp/sto-3g guess=read freq geom=allcheck

