# tz2 with every hydrogen moved after all the heavy atoms, each keeping its
# residue name and number.
grep '^ATOM' "$CORPUS"/pdb/tz2.pdb | grep -v ' H *$' > tz2_hydrogens_last.pdb
grep '^ATOM' "$CORPUS"/pdb/tz2.pdb | grep ' H *$' >> tz2_hydrogens_last.pdb
echo END >> tz2_hydrogens_last.pdb
