// The NetCDF C library, loaded when the first NetCDF file is opened.
//
// libnetcdf brings HDF5, curl and some forty other shared libraries with it;
// linked in, the dynamic loader would map them all at every start, which
// costs a short command (charge on one small molecule) more than its work.
// So the library is opened with dlopen on first use, and the functions the
// readers and the writer call are taken from it into one table. The header
// still gives the types and constants at build time.
#pragma once

#include <netcdf.h>

#include <string_view>

namespace tarvex {

struct NetcdfLibrary {
  decltype(&::nc_open) open;
  decltype(&::nc_create) create;
  decltype(&::nc_close) close;
  decltype(&::nc_enddef) enddef;
  decltype(&::nc_strerror) strerror;
  decltype(&::nc_inq) inq;
  decltype(&::nc_inq_format) inq_format;
  decltype(&::nc_inq_dim) inq_dim;
  decltype(&::nc_inq_dimlen) inq_dimlen;
  decltype(&::nc_inq_varid) inq_varid;
  decltype(&::nc_inq_var) inq_var;
  decltype(&::nc_inq_varndims) inq_varndims;
  decltype(&::nc_inq_att) inq_att;
  decltype(&::nc_inq_attname) inq_attname;
  decltype(&::nc_inq_type) inq_type;
  decltype(&::nc_inq_var_chunking) inq_var_chunking;
  decltype(&::nc_inq_var_deflate) inq_var_deflate;
  decltype(&::nc_inq_var_filter) inq_var_filter;
  decltype(&::nc_get_att_double) get_att_double;
  decltype(&::nc_get_att_text) get_att_text;
  decltype(&::nc_get_var_double) get_var_double;
  decltype(&::nc_get_vara_double) get_vara_double;
  decltype(&::nc_def_dim) def_dim;
  decltype(&::nc_def_var) def_var;
  decltype(&::nc_put_att_text) put_att_text;
  decltype(&::nc_put_var_text) put_var_text;
  decltype(&::nc_put_vara_float) put_vara_float;
  decltype(&::nc_put_var1_float) put_var1_float;
};

// The loaded library; the first call loads it, and a library that cannot be
// loaded ends the program with one line naming `file_name`, the NetCDF file
// that needed it.
const NetcdfLibrary& Netcdf(std::string_view file_name);
// The library once Netcdf has loaded it.
inline const NetcdfLibrary& Nc() { return Netcdf({}); }

}  // namespace tarvex
