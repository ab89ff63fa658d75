# Running the Windows build's programs under Wine: tests, the discovery of GoogleTest cases and
# the checks of the installer all go through build-windows/wine-run.sh, which uses the build's
# own Wine prefix (never the user's ~/.wine) and finds MinGW's and Qt's DLLs without copying them.
find_program(DNIARZ_WINE wine REQUIRED)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE mingw_stdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(DNIARZ_MINGW_RUNTIME_DIR "${mingw_stdcxx}" DIRECTORY)
set(DNIARZ_MINGW_SYSROOT_BIN_DIR "/usr/${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32/lib")
set(DNIARZ_QT_BIN_DIR "")
if(DNIARZ_GUI)
    find_package(Qt6 REQUIRED COMPONENTS Core)
    get_filename_component(DNIARZ_QT_BIN_DIR "${Qt6_DIR}/../../../bin" ABSOLUTE)
endif()
set(DNIARZ_WINEPREFIX "${PROJECT_BINARY_DIR}/wineprefix" CACHE PATH "The Wine prefix the tests run in")
set(DNIARZ_WINE_RERUN_LOG "${PROJECT_BINARY_DIR}/wine-reruns.log")
configure_file("${PROJECT_SOURCE_DIR}/cmake/wine-run.sh.in" "${PROJECT_BINARY_DIR}/wine-run.sh" @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_BINARY_DIR}/wine-run.sh")
# Listing the cases of a test program starts Wine; that waits for the tests, not the build.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
