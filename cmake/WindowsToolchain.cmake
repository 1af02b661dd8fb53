# The windows preset's toolchain: the unpacked Windows SDK named by
# XYH_WIN_SDK (its own toolchain file does the work), /opt's copy otherwise.
if(DEFINED ENV{XYH_WIN_SDK} AND NOT "$ENV{XYH_WIN_SDK}" STREQUAL "")
  set(XYH_WIN_SDK "$ENV{XYH_WIN_SDK}" CACHE PATH "The unpacked Windows SDK")
else()
  set(XYH_WIN_SDK "/opt/xyh-win-sdk-qt6.4.2-mingw64" CACHE PATH "The unpacked Windows SDK")
endif()
if(NOT EXISTS "${XYH_WIN_SDK}/mingw-w64-x86_64.cmake")
  message(FATAL_ERROR "No Windows SDK at ${XYH_WIN_SDK}: set XYH_WIN_SDK to the unpacked SDK")
endif()
include("${XYH_WIN_SDK}/mingw-w64-x86_64.cmake")
