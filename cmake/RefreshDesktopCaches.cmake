# Run at the end of an install and after an uninstall: the desktop's caches
# of launchers by MIME type and of MIME types are made again, so the player's
# file types appear or go at once. Only for a real install (no DESTDIR: a
# staged one is cached where it lands), and only where the tools exist.
# Takes KIVO_APPLICATIONS_DIR and KIVO_MIME_DIR.
if(NOT "$ENV{DESTDIR}" STREQUAL "")
    return()
endif()
find_program(KIVO_UPDATE_DESKTOP_DATABASE update-desktop-database)
if(KIVO_UPDATE_DESKTOP_DATABASE AND IS_DIRECTORY "${KIVO_APPLICATIONS_DIR}")
    execute_process(COMMAND "${KIVO_UPDATE_DESKTOP_DATABASE}" -q "${KIVO_APPLICATIONS_DIR}")
endif()
find_program(KIVO_UPDATE_MIME_DATABASE update-mime-database)
if(KIVO_UPDATE_MIME_DATABASE AND IS_DIRECTORY "${KIVO_MIME_DIR}/packages")
    execute_process(COMMAND "${KIVO_UPDATE_MIME_DATABASE}" "${KIVO_MIME_DIR}")
endif()
