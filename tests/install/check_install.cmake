# Installs the build into a scratch prefix and checks what the desktop reads:
# the files in their standard places, and a desktop file that
# desktop-file-validate accepts and that hands Corvane telnet:// links.
# cmake -DBUILD_DIR=... -DPREFIX=... -DVALIDATE=... -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${installed})")
endif()
foreach(file bin/corvane bin/corvane-practice-world share/applications/corvane.desktop
             share/icons/hicolor/scalable/apps/corvane.svg share/icons/hicolor/48x48/apps/corvane.png
             share/icons/hicolor/256x256/apps/corvane.png share/doc/corvane/help.html)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
set(desktop "${PREFIX}/share/applications/corvane.desktop")
execute_process(COMMAND "${VALIDATE}" "${desktop}" RESULT_VARIABLE valid OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT valid EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate refuses corvane.desktop:\n${said}")
endif()
file(STRINGS "${desktop}" mime REGEX "^MimeType=")
if(NOT mime MATCHES "x-scheme-handler/telnet")
    message(FATAL_ERROR "corvane.desktop does not take telnet:// links: ${mime}")
endif()
file(STRINGS "${desktop}" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=corvane %u")
    message(FATAL_ERROR "corvane.desktop must hand the address to corvane: ${exec}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
