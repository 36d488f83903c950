cp "$DATA"/netcdf/no_frames.nc .
