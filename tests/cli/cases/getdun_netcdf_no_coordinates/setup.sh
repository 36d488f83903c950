cp "$DATA"/netcdf/no_coordinates.nc .
