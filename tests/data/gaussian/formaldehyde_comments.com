! formaldehyde, commented as Gaussian allows
%chk=formaldehyde  ! the checkpoint
#p hf/3-21g sp ! route

formaldehyde ! title

0 1 ! neutral singlet
! carbonyl first
C    0.000000   0.000000   0.000000
O    0.000000   0.000000   1.208000  ! C=O
! then the hydrogens
H    0.000000   0.943000  -0.587000
H    0.000000  -0.943000  -0.587000

