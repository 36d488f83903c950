# Finds the NetCDF C library: its header and its library, nothing more (the
# tool loads the library by its soname when the first NetCDF file is opened).
# Sets NetCDF_FOUND, NETCDF_INCLUDE_DIR and NETCDF_LIBRARY. As a find module
# it honours -DCMAKE_DISABLE_FIND_PACKAGE_NetCDF=ON like the packages CMake
# knows.
find_path(NETCDF_INCLUDE_DIR netcdf.h)
find_library(NETCDF_LIBRARY netcdf)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(NetCDF REQUIRED_VARS NETCDF_LIBRARY NETCDF_INCLUDE_DIR)
mark_as_advanced(NETCDF_INCLUDE_DIR NETCDF_LIBRARY)
