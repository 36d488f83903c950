cp "$DATA"/netcdf/tiny.nc many.nc && chmod u+w many.nc && printf '\000\230\226\200' | dd of=many.nc bs=1 seek=4 conv=notrunc 2>/dev/null
