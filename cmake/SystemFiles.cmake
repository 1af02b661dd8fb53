# What differs between the systems the program builds for, chosen here and
# nowhere else: the suffix of the per-system source files (Files_posix.cpp,
# Files_win.cpp: CMake picks one, callers never see an #ifdef), and the file
# names of the libraries opened on first use (platform/LazyLibrary.h), as
# the compile definitions XYH_*_FILE.
if(WIN32)
  set(XYH_SYSTEM win)
  set(XYH_CURL_FILE libcurl.dll)
  set(XYH_GUMBO_FILE libgumbo-1.dll)
  set(XYH_SQLITE_FILE libsqlite3-0.dll)
  set(XYH_CRYPTO_FILE libcrypto-3-x64.dll)
  set(XYH_QRENCODE_FILE libqrencode.dll)
else()
  set(XYH_SYSTEM posix)
  set(XYH_CURL_FILE libcurl.so.4)
  set(XYH_GUMBO_FILE libgumbo.so.1)
  set(XYH_SQLITE_FILE libsqlite3.so.0)
  set(XYH_CRYPTO_FILE libcrypto.so.3)
  set(XYH_QRENCODE_FILE libqrencode.so.4)
endif()
add_library(xyh_library_files INTERFACE)
foreach(lib CURL GUMBO SQLITE CRYPTO QRENCODE)
  target_compile_definitions(xyh_library_files INTERFACE XYH_${lib}_FILE="${XYH_${lib}_FILE}")
endforeach()

# A Windows program's icon and version resource (packaging/windows/xyh.rc.in).
function(xyh_version_resource target description)
  set(XYH_RC_NAME ${target})
  set(XYH_RC_DESCRIPTION "${description}")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/xyh.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
endfunction()
