# The Windows build: its resources, the DLLs beside the programs, and wine
# to run its tests and tools on this Linux machine.
enable_language(RC)
# Windows 7's API level and up: LOAD_LIBRARY_SEARCH_*, GetFinalPathNameByHandleW.
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601)
# Static libgcc/libstdc++ would save two DLLs but double every test program;
# the SDK's runtime DLLs go beside the programs instead.

# The SDK's DLLs the programs load, copied next to them: a Windows program
# finds its DLLs in its own folder, and loads the lazy ones only from there.
set(XYH_WIN_SDK_BIN "${XYH_WIN_SDK}/bin")
file(GLOB XYH_WIN_DLLS "${XYH_WIN_SDK_BIN}/*.dll")
add_custom_target(xyh_windows_dlls ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bin
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${XYH_WIN_DLLS} ${CMAKE_BINARY_DIR}/bin
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${XYH_WIN_SDK}/plugins/platforms
          ${CMAKE_BINARY_DIR}/bin/platforms
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${XYH_WIN_SDK}/plugins/styles
          ${CMAKE_BINARY_DIR}/bin/styles
  COMMENT "The SDK's DLLs and Qt plugins beside the programs")

# wine, through a wrapper that gives every run the same Windows: a prefix of
# this build's own, code page 936, Qt's variables under wine's names.
set(XYH_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH "The wine prefix tests run in")
string(REPLACE "/" "\\\\" XYH_WINEPATH "Z:${CMAKE_BINARY_DIR}/bin;Z:${XYH_WIN_SDK_BIN}")
set(XYH_QPA_FONTDIR "Z:/usr/share/fonts/truetype/wqy")
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY)
file(CHMOD ${CMAKE_BINARY_DIR}/wine-run.sh PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
     GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
