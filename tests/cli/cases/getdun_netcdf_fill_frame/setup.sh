cp "$DATA"/netcdf/fill_frame.nc .
