# Removes every file an install wrote, as listed in its manifest, then
# refreshes the desktop's caches. A staged install is removed with the same
# DESTDIR it was made with (the manifest lists the paths without it).
# Usage: DESTDIR=... cmake -DMANIFEST=<build>/install_manifest.txt -P Uninstall.cmake
if(NOT MANIFEST OR NOT EXISTS "${MANIFEST}")
    message(FATAL_ERROR "No install manifest at '${MANIFEST}': nothing was installed from this build.")
endif()
file(STRINGS "${MANIFEST}" installed)
# The manifest never holds DESTDIR, so it always goes in front, with one "/"
# between (a prefix that merely starts with the DESTDIR text is no exception).
string(REGEX REPLACE "/+$" "" destdir "$ENV{DESTDIR}")
foreach(listed IN LISTS installed)
    set(path "${listed}")
    if(NOT destdir STREQUAL "")
        string(REGEX REPLACE "^/+" "" path "${listed}")
        set(path "${destdir}/${path}")
    endif()
    if(EXISTS "${path}" OR IS_SYMLINK "${path}")
        message(STATUS "Removing ${path}")
        file(REMOVE "${path}")
        if(EXISTS "${path}" OR IS_SYMLINK "${path}")
            message(FATAL_ERROR "Could not remove ${path}")
        endif()
    endif()
    if(path MATCHES "^(.*/applications)/[^/]+\\.desktop$")
        set(KIVO_APPLICATIONS_DIR "${CMAKE_MATCH_1}")
    elseif(path MATCHES "^(.*/mime)/packages/[^/]+\\.xml$")
        set(KIVO_MIME_DIR "${CMAKE_MATCH_1}")
    endif()
endforeach()
include("${CMAKE_CURRENT_LIST_DIR}/RefreshDesktopCaches.cmake")
