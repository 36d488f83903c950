cp "$DATA"/netcdf/huge_atoms.nc .
