#pragma once
// Gumbo is not linked into the programs: the functions of its interface that
// the page reader calls are defined in GumboShim.cpp and forward to the
// library, which the dynamic loader opens when the first page is parsed. The
// window starts, and a cast runs, without it.
//
// When the library cannot be loaded no page can be parsed: the reader
// reports the page as one it could not read. XYH_GUMBO_LIBRARY names another
// file to load (a bare file name, for tests).
#include <gumbo.h>

#include <string>

namespace rg_com_ptl_xyh {

inline constexpr const char* kGumboLibrary = XYH_GUMBO_FILE;
inline constexpr const char* kGumboLibraryVariable = "XYH_GUMBO_LIBRARY";

// The library's default options (its kGumboDefaultOptions), loading it
// first; nullptr when it cannot be loaded.
const GumboOptions* GumboDefaultOptions();
// Whether Gumbo has been loaded in this process; never loads it.
bool GumboLoaded();
// Why it could not be loaded; empty while nothing failed.
std::string GumboLoadError();

}  // namespace rg_com_ptl_xyh
