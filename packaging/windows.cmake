# The Windows installer (NSIS, through `cpack -G NSIS`): the program with Qt's DLLs and plugins and
# MinGW's runtime in bin\, the shipped files in share\dniarz\ (the layout that tells the program it
# runs installed, so that the notes go to %LOCALAPPDATA%), a Start-menu shortcut, and an
# uninstaller that removes what it installed and never the user's notes.
set_target_properties(dniarz PROPERTIES WIN32_EXECUTABLE ON)
install(TARGETS dniarz RUNTIME DESTINATION bin)
# The window's part beside the program, which looks for it there first.
install(TARGETS dniarz_window LIBRARY DESTINATION bin RUNTIME DESTINATION bin)

get_filename_component(qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
install(FILES "${qt_prefix}/bin/Qt6Core.dll" "${qt_prefix}/bin/Qt6Gui.dll" "${qt_prefix}/bin/Qt6Widgets.dll"
        DESTINATION bin)
install(FILES "${qt_prefix}/plugins/platforms/qwindows.dll" "${qt_prefix}/plugins/platforms/qoffscreen.dll"
        DESTINATION bin/platforms)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll)
    install(FILES "${DNIARZ_MINGW_RUNTIME_DIR}/${dll}" DESTINATION bin)
endforeach()
install(FILES "${DNIARZ_MINGW_SYSROOT_BIN_DIR}/libwinpthread-1.dll" DESTINATION bin)
# CPack strips only the program; MinGW's and Qt's DLLs come with their symbols, a third of the
# installer's size.
install(CODE "
    file(GLOB_RECURSE dlls \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/*.dll\")
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \${dlls} COMMAND_ERROR_IS_FATAL ANY)
")
# Qt's own texts in Polish, where Qt looks for them beside the program.
if(EXISTS /usr/share/qt6/translations/qtbase_pl.qm)
    install(FILES /usr/share/qt6/translations/qtbase_pl.qm DESTINATION bin/translations)
endif()

set(DNIARZ_SHIPPED_FILES "${PROJECT_SOURCE_DIR}/data/info.rtf;${PROJECT_SOURCE_DIR}/data/ALARM.WAV"
    CACHE STRING "Files installed into share/dniarz when they exist")
install(DIRECTORY DESTINATION share/dniarz)
install(FILES ${DNIARZ_SHIPPED_FILES} DESTINATION share/dniarz OPTIONAL)
# The winter holidays by voivodeship, outside the cached list so that an older build folder ships it too.
install(FILES "${PROJECT_SOURCE_DIR}/data/ferie-zimowe.txt" DESTINATION share/dniarz)
# "Pomoc" in the window opens the documentation where the installed program looks for it.
install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION share/doc/dniarz)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME Dniarz)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR Brenvik)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Kalendarz i zegar")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Dniarz)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Dniarz)
set(CPACK_PACKAGE_EXECUTABLES "dniarz;Dniarz")
set(CPACK_NSIS_DISPLAY_NAME Dniarz)
set(CPACK_NSIS_PACKAGE_NAME Dniarz)
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\dniarz.exe")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer for a 64-bit program: it needs no 32-bit layer of the system (Wine's
# included) and installs into the 64-bit Program Files.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX "${PROJECT_BINARY_DIR}/packages")
include(CPack)

# The portable ZIP: everything in one folder, the program's own included, so that the notes stay
# beside the executable (no share\dniarz beside bin\, which would mean "installed"). Made by
# `cmake --build build-windows --target portable_zip` into packages\.
set(portable_root "${PROJECT_BINARY_DIR}/portable")
set(portable_dir "${portable_root}/Dniarz")
set(portable_files "${qt_prefix}/bin/Qt6Core.dll" "${qt_prefix}/bin/Qt6Gui.dll" "${qt_prefix}/bin/Qt6Widgets.dll"
    "${PROJECT_SOURCE_DIR}/README.md" "${DNIARZ_MINGW_RUNTIME_DIR}/libstdc++-6.dll" "${DNIARZ_MINGW_RUNTIME_DIR}/libgcc_s_seh-1.dll"
    "${DNIARZ_MINGW_SYSROOT_BIN_DIR}/libwinpthread-1.dll" "${PROJECT_SOURCE_DIR}/data/ferie-zimowe.txt")
foreach(shipped ${DNIARZ_SHIPPED_FILES})
    if(EXISTS "${shipped}")
        list(APPEND portable_files "${shipped}")
    endif()
endforeach()
# Stripped as the installer's copies are: MinGW's and Qt's DLLs come with their symbols.
set(portable_stripped "${portable_dir}/$<TARGET_FILE_NAME:dniarz>" "${portable_dir}/$<TARGET_FILE_NAME:dniarz_window>"
    "${portable_dir}/platforms/qwindows.dll"
    "${portable_dir}/platforms/qoffscreen.dll")
foreach(file ${portable_files})
    get_filename_component(name "${file}" NAME)
    if(name MATCHES "\\.dll$")
        list(APPEND portable_stripped "${portable_dir}/${name}")
    endif()
endforeach()
set(portable_zip "${CPACK_OUTPUT_FILE_PREFIX}/Dniarz-${PROJECT_VERSION}-win64-portable.zip")
add_custom_target(portable_zip
    COMMAND "${CMAKE_COMMAND}" -E rm -rf "${portable_root}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${portable_dir}/platforms" "${portable_dir}/translations"
                                                 "${CPACK_OUTPUT_FILE_PREFIX}"
    COMMAND "${CMAKE_COMMAND}" -E copy $<TARGET_FILE:dniarz> $<TARGET_FILE:dniarz_window> ${portable_files}
                                       "${portable_dir}"
    COMMAND "${CMAKE_COMMAND}" -E copy "${qt_prefix}/plugins/platforms/qwindows.dll"
                                       "${qt_prefix}/plugins/platforms/qoffscreen.dll" "${portable_dir}/platforms"
    COMMAND "${CMAKE_COMMAND}" -E copy_if_different /usr/share/qt6/translations/qtbase_pl.qm
                                       "${portable_dir}/translations"
    COMMAND "${CMAKE_STRIP}" --strip-unneeded ${portable_stripped}
    COMMAND "${CMAKE_COMMAND}" -E chdir "${portable_root}" "${CMAKE_COMMAND}" -E tar cf "${portable_zip}"
                                        --format=zip Dniarz
    DEPENDS dniarz dniarz_window
    COMMENT "Packing ${portable_zip}"
    VERBATIM)
