cp "$DATA"/netcdf/not_netcdf.nc .
