# A tarvex_parm.dat that anyone may write, left in the working folder: its
# typing rows would make the benzoate oxygens neutral.
printf 'C C 1.526\n\nO 2 (1C)\n' > tarvex_parm.dat
chmod 666 tarvex_parm.dat
