#pragma once
// libcurl is not linked into the programs: the functions of its interface
// that the program calls are defined in CurlShim.cpp and forward to the
// library, which the dynamic loader opens on the first transfer. Until then
// curl_global_init only takes note, so a program that never fetches anything
// never loads libcurl nor the TLS libraries behind it.
//
// When the library cannot be loaded curl_easy_init gives nullptr and the
// other calls fail with CURLE_FAILED_INIT: the HTTP client reports that as a
// failed transfer. XYH_CURL_LIBRARY names another file to load (a bare file
// name, for tests).
#include <string>

namespace rg_com_ptl_xyh {

inline constexpr const char* kCurlLibrary = XYH_CURL_FILE;
inline constexpr const char* kCurlLibraryVariable = "XYH_CURL_LIBRARY";

// Whether libcurl has been loaded in this process; never loads it.
bool CurlLoaded();
// Why it could not be loaded; empty while nothing failed.
std::string CurlLoadError();

}  // namespace rg_com_ptl_xyh
