head -c 700 "$DATA"/netcdf/tiny.nc > cut.nc
