# Installs the build into a scratch prefix and checks what the desktop reads:
# the files in their standard places, and a desktop file that
# desktop-file-validate accepts and that hands Corvane telnet:// and
# telnets:// links.
# cmake -DBUILD_DIR=... -DPREFIX=... -DVALIDATE=... -DVERSION=... -DSOURCE_DIR=... -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${installed})")
endif()
set(expected bin/corvane bin/corvane-practice-world games/corvane games/corvane-practice-world
             share/applications/corvane.desktop share/icons/hicolor/scalable/apps/corvane.svg
             share/corvane/help.html share/man/man1/corvane.1.gz share/man/man1/corvane-practice-world.1.gz
             share/doc/corvane/copyright share/doc/corvane/changelog.gz)
foreach(size 16 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/corvane.png)
endforeach()
foreach(file ${expected})
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
file(GLOB metainfo "${PREFIX}/share/metainfo/*.metainfo.xml")
if(NOT metainfo)
    message(FATAL_ERROR "not installed: the AppStream data in share/metainfo")
endif()
# The newest release the software centre lists and the package's changelog
# name the version being built: both are kept by hand.
file(STRINGS "${metainfo}" releases REGEX "<release version=")
list(GET releases 0 newest)
if(NOT newest MATCHES "version=\"${VERSION}\"")
    message(FATAL_ERROR "the AppStream data's newest release is not ${VERSION}: ${newest}")
endif()
file(STRINGS "${SOURCE_DIR}/packaging/changelog" entry LIMIT_COUNT 1)
if(NOT entry MATCHES "^corvane \\(${VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog's newest entry is not ${VERSION}: ${entry}")
endif()
set(desktop "${PREFIX}/share/applications/corvane.desktop")
execute_process(COMMAND "${VALIDATE}" "${desktop}" RESULT_VARIABLE valid OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT valid EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate refuses corvane.desktop:\n${said}")
endif()
file(STRINGS "${desktop}" mime REGEX "^MimeType=")
if(NOT mime MATCHES "x-scheme-handler/telnet([^s]|$)" OR NOT mime MATCHES "x-scheme-handler/telnets")
    message(FATAL_ERROR "corvane.desktop does not take telnet:// and telnets:// links: ${mime}")
endif()
file(STRINGS "${desktop}" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=corvane %u")
    message(FATAL_ERROR "corvane.desktop must hand the address to corvane: ${exec}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
