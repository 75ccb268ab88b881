# vantel-setup.exe: an NSIS installer built by CPack (`cpack` in the Windows tree). It installs
# vantel.exe under Program Files with a Start-menu shortcut and an Add/Remove Programs entry. The
# uninstaller also removes the start-with-Windows entry (the uninstalling user's, and the
# machine-wide one that earlier versions wrote), and leaves the user's options alone.
install(TARGETS vantel RUNTIME DESTINATION .)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME "Vantel")
set(CPACK_PACKAGE_VENDOR "Norvatech")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Vantel - personal time tracker")
set(CPACK_PACKAGE_FILE_NAME "vantel-setup")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Vantel")
# The installer keeps its own key, "Software\<vendor>\<this>", and its uninstaller deletes that key
# whole: it must not be the program's options key, "Software\Norvatech\Vantel" (an earlier
# version's options are still read from it under HKLM).
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Vantel Setup")
set(CPACK_PACKAGE_EXECUTABLES "vantel" "Vantel")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
set(CPACK_NSIS_DISPLAY_NAME "Vantel")
set(CPACK_NSIS_PACKAGE_NAME "Vantel")
set(CPACK_NSIS_INSTALLED_ICON_NAME "vantel.exe")
set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/res/icons/main.ico")
set(CPACK_NSIS_MUI_UNIICON "${PROJECT_SOURCE_DIR}/res/icons/main.ico")
set(CPACK_NSIS_URL_INFO_ABOUT "https://www.norvatech.example/")
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE.txt")
set(vantel_run_key "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS
    "DeleteRegValue HKCU '${vantel_run_key}' 'Vantel'\nDeleteRegValue HKLM '${vantel_run_key}' 'Vantel'")
include(CPack)
