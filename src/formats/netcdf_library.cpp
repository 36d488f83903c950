#if TARVEX_HAVE_NETCDF

#include "formats/netcdf_library.h"

#include <dlfcn.h>

#include <string>

#include "common/exit.h"

namespace tarvex {
namespace {

template <typename Function>
void Take(void* handle, const char* name, Function& function, std::string_view file_name) {
  function = reinterpret_cast<Function>(::dlsym(handle, name));
  if (!function) {
    Fatal("Error: " + std::string(file_name) +
          " is an Amber NetCDF file, and the NetCDF library " TARVEX_NETCDF_LIBRARY " lacks " + name + ".");
  }
}

NetcdfLibrary Load(std::string_view file_name) {
  void* handle = ::dlopen(TARVEX_NETCDF_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = ::dlerror();
    Fatal("Error: " + std::string(file_name) +
          " is an Amber NetCDF file, and the NetCDF library could not be loaded (" +
          (why ? why : TARVEX_NETCDF_LIBRARY) + ").");
  }
  NetcdfLibrary library{};
  Take(handle, "nc_open", library.open, file_name);
  Take(handle, "nc_create", library.create, file_name);
  Take(handle, "nc_close", library.close, file_name);
  Take(handle, "nc_enddef", library.enddef, file_name);
  Take(handle, "nc_strerror", library.strerror, file_name);
  Take(handle, "nc_inq", library.inq, file_name);
  Take(handle, "nc_inq_format", library.inq_format, file_name);
  Take(handle, "nc_inq_dim", library.inq_dim, file_name);
  Take(handle, "nc_inq_dimlen", library.inq_dimlen, file_name);
  Take(handle, "nc_inq_varid", library.inq_varid, file_name);
  Take(handle, "nc_inq_var", library.inq_var, file_name);
  Take(handle, "nc_inq_varndims", library.inq_varndims, file_name);
  Take(handle, "nc_inq_att", library.inq_att, file_name);
  Take(handle, "nc_inq_attname", library.inq_attname, file_name);
  Take(handle, "nc_inq_type", library.inq_type, file_name);
  Take(handle, "nc_inq_var_chunking", library.inq_var_chunking, file_name);
  Take(handle, "nc_inq_var_deflate", library.inq_var_deflate, file_name);
  Take(handle, "nc_inq_var_filter", library.inq_var_filter, file_name);
  Take(handle, "nc_get_att_double", library.get_att_double, file_name);
  Take(handle, "nc_get_att_text", library.get_att_text, file_name);
  Take(handle, "nc_get_var_double", library.get_var_double, file_name);
  Take(handle, "nc_get_vara_double", library.get_vara_double, file_name);
  Take(handle, "nc_def_dim", library.def_dim, file_name);
  Take(handle, "nc_def_var", library.def_var, file_name);
  Take(handle, "nc_put_att_text", library.put_att_text, file_name);
  Take(handle, "nc_put_var_text", library.put_var_text, file_name);
  Take(handle, "nc_put_vara_float", library.put_vara_float, file_name);
  Take(handle, "nc_put_var1_float", library.put_var1_float, file_name);
  return library;
}

}  // namespace

// The handle stays open for the rest of the process: files may be read
// until the end.
const NetcdfLibrary& Netcdf(std::string_view file_name) {
  static const NetcdfLibrary library = Load(file_name);
  return library;
}

}  // namespace tarvex

#endif
