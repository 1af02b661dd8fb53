# Runs while installing: writes the desktop entry with the installed
# program's full path in Exec and installs it. Given XYH_DESKTOP_IN,
# XYH_DESKTOP_OUT, XYH_BINDIR and XYH_APPLICATIONS (the last two relative to
# the prefix unless absolute).
foreach(dir XYH_BINDIR XYH_APPLICATIONS)
  if(NOT IS_ABSOLUTE "${${dir}}")
    set(${dir} "${CMAKE_INSTALL_PREFIX}/${${dir}}")
  endif()
endforeach()
set(XYH_EXEC "${XYH_BINDIR}/xyh")
# The desktop entry format: "%" doubled; a path with blanks or quoting
# characters goes in double quotes, with \ " ` $ escaped inside them (and
# the backslash itself escaped once more for the string type).
string(REPLACE "%" "%%" XYH_EXEC "${XYH_EXEC}")
if(XYH_EXEC MATCHES "[ \t\"'\\\\`$<>~|&;*?#()]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" XYH_EXEC "${XYH_EXEC}")
  string(REPLACE "\\" "\\\\" XYH_EXEC "${XYH_EXEC}")
  set(XYH_EXEC "\"${XYH_EXEC}\"")
endif()
configure_file("${XYH_DESKTOP_IN}" "${XYH_DESKTOP_OUT}" @ONLY)
file(INSTALL DESTINATION "${XYH_APPLICATIONS}" TYPE FILE FILES "${XYH_DESKTOP_OUT}")
