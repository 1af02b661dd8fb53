# What the Windows build's tests leave out under wine, and why. Three lists
# of pairs (what, why): test programs not built, test sources left out of
# the programs that are, and single tests (ctest names) not run. Each entry
# is said when configuring and by the test wine_exclusions.

# Programs whose every test runs xyh-cli or a helper through the shell
# (popen of shell words, fork, Unix pipes), which a Windows program has not.
# scripts/win-compare.sh runs the same xyh-cli work under wine against the
# Linux xyh-cli instead, byte for byte.
set(XYH_WINE_EXCLUDED_PROGRAMS_WHY
  test_cli "runs xyh-cli through the shell (support/Child.h: popen, shell words, pipes), scripts/win-compare.sh covers xyh-cli.exe"
  test_cli_chart "runs xyh-cli through the shell (support/Child.h), scripts/win-compare.sh compares cast --json, chart included"
  test_curl_missing "forks a child with another library name (EXPECT_EXIT with fork semantics, Unix library names)"
  test_trend "compares with xyh-cli run through the shell (support/Child.h)"
)
set(XYH_WINE_EXCLUDED_SOURCES_WHY
  shell/WindowTest.cpp "runs xyh-cli through the shell (support/Child.h), its second start is tests/windows/window_test.sh's"
  shell/CheckWinTest.cpp "runs xyh-cli through the shell (support/Child.h)"
  shell/PlayWinTest.cpp "runs xyh-cli through the shell (support/Child.h) and holds a lock from a python child (support/LockHolder.h)"
  shell/TruthTest.cpp "holds a lock from a python child through popen (support/LockHolder.h)"
  shell/HistoryPanelTest.cpp "holds a lock from a python child through popen (support/LockHolder.h)"
  shell/HistoryTransferUiTest.cpp "makes a FIFO (mkfifo) to refuse"
  shell/LazyNetworkTest.cpp "sees the libraries loaded in /proc/self/maps, which Windows has not"
  shell/LazyImageFormatsTest.cpp "sees the plugins loaded in /proc/self/maps, which Windows has not"
  platform/BellSocketTest.cpp "the bell is a Unix datagram socket there, Windows has the named pipe of BellSocket_win.cpp"
  platform/FilesTest.cpp "makes FIFOs, sockets and devices with POSIX calls (mkfifo, socket, /dev)"
  platform/SaveFileTest.cpp "POSIX errno values (EDQUOT) and FIFOs"
  platform/SettingsTest.cpp "makes a FIFO (mkfifo)"
  platform/FoldersTest.cpp "sets XDG_DATA_HOME with setenv, Windows takes its folders from the shell's known folders"
  history/EasyDbTest.cpp "forks a second process to hold the file (sys/wait.h)"
  history/DrawArchiveTest.cpp "holds a lock from a python child through popen (support/LockHolder.h)"
  history/PlaysTest.cpp "runs xyh-cli through the shell (support/Child.h)"
  history/StoreFaultTest.cpp "holds a lock from a python child through popen (support/LockHolder.h)"
)
set(XYH_WINE_EXCLUDED_TESTS_WHY
  Fingerprint.LibcryptoIsLoadedOnFirstUseAndItsAbsenceIsAMismatch "sees the libraries loaded in /proc/self/maps, which Windows has not"
  Installer.StartedExecutableOrReportedAndDiscarded "the installer it starts is a shell script, on Windows it is an .exe (StartDetached is in WindowsProcess)"
  Update.DownloadVerifyAndStartTheInstallerOfTheExactFingerprint "the installer it serves and starts is a shell script, on Windows it is an .exe: tests/windows/updater_test.sh downloads, checks and starts the real installer"
  QrBitmap.ARenderedResultDecodesToTheSameText "decodes the picture with zbarimg, a Linux program"
  Tls.AVerifyingClientRefusesASelfSignedCertificate "wine's Schannel accepts a certificate that no authority of the system signed, where Windows refuses it: the check against an authority file of our own runs (Tls.AServerSignedByATrustedAuthorityIsVerified)"
  completion "bash completion of the Linux package"
  start_script "scripts/start.sh is the Linux launcher"
  package "packs the Linux .deb"
)

set(XYH_WINE_EXCLUDED_PROGRAMS)
set(XYH_WINE_EXCLUDED_SOURCES)
set(XYH_WINE_EXCLUDED_TESTS)
set(XYH_WINE_EXCLUSION_TEXT "Left out under wine:\n")
foreach(kind PROGRAMS SOURCES TESTS)
  set(pairs ${XYH_WINE_EXCLUDED_${kind}_WHY})
  list(LENGTH pairs n)
  math(EXPR last "${n} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET pairs ${i} what)
    list(GET pairs ${j} why)
    list(APPEND XYH_WINE_EXCLUDED_${kind} ${what})
    string(APPEND XYH_WINE_EXCLUSION_TEXT "  ${what}: ${why}\n")
  endforeach()
endforeach()
message(STATUS "${XYH_WINE_EXCLUSION_TEXT}")
file(WRITE ${CMAKE_BINARY_DIR}/wine-exclusions.txt "${XYH_WINE_EXCLUSION_TEXT}")
# ctest reads this beside its tests: the single tests above are not run.
string(REPLACE ";" "\" \"" ignored "${XYH_WINE_EXCLUDED_TESTS}")
file(WRITE ${CMAKE_BINARY_DIR}/CTestCustom.cmake "set(CTEST_CUSTOM_TESTS_IGNORE \"${ignored}\")\n")
add_test(NAME wine_exclusions COMMAND ${CMAKE_COMMAND} -E cat ${CMAKE_BINARY_DIR}/wine-exclusions.txt)

# The left-out sources taken out of every test program that lists them.
function(xyh_wine_prune)
  get_property(targets DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(sources ${target} SOURCES)
    if(sources)
      list(REMOVE_ITEM sources ${XYH_WINE_EXCLUDED_SOURCES})
      set_property(TARGET ${target} PROPERTY SOURCES ${sources})
    endif()
  endforeach()
endfunction()

# Helpers only the left-out programs use.
function(xyh_wine_helpers)
  if(TARGET xyh_maps_at_exit)
    set_target_properties(xyh_maps_at_exit PROPERTIES EXCLUDE_FROM_ALL ON)
  endif()
endfunction()
