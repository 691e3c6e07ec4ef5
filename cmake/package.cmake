# The Debian package: `cpack -G DEB` in the build folder (or the `package`
# target) makes corvane_<version>_<arch>.deb from what `cmake --install`
# installs under /usr. Its library dependencies come from dpkg-shlibdeps.
include(GNUInstallDirs)

# Where the project lives on the web, and the AppStream name derived from it.
# There is no web site yet: these are placeholders to set once there is one
# (the screenshot is expected at HOMEPAGE/screenshots/main-window.png, a copy
# of data/screenshots/main-window.png).
set(CORVANE_HOMEPAGE "https://corvane.example.org/" CACHE STRING "The project's web site, ending in /")
set(CORVANE_APP_ID "org.example.corvane" CACHE STRING "AppStream component id: the web site's domain reversed")
set(CORVANE_MAINTAINER_ADDRESS "maintainers@users.noreply.c-seed-a4c09cd6.example" CACHE STRING
    "Mail address of the package's maintainer")

# Debian wants manual pages and the changelog gzipped, without a time stamp
# in them, so that the same sources give the same package.
find_program(CORVANE_GZIP gzip REQUIRED)
set(corvane_gzipped)
foreach(source docs/man/corvane.1 docs/man/corvane-practice-world.1 packaging/changelog)
    get_filename_component(name ${source} NAME)
    set(gzipped ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
    add_custom_command(OUTPUT ${gzipped}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
        COMMAND ${CORVANE_GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/${source} > ${gzipped}
        DEPENDS ${PROJECT_SOURCE_DIR}/${source} VERBATIM)
    list(APPEND corvane_gzipped ${gzipped})
endforeach()
add_custom_target(corvane_package_files ALL DEPENDS ${corvane_gzipped})

install(FILES ${CMAKE_BINARY_DIR}/packaging/corvane.1.gz ${CMAKE_BINARY_DIR}/packaging/corvane-practice-world.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
configure_file(${PROJECT_SOURCE_DIR}/data/corvane.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${CORVANE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${CORVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/corvane)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/corvane)
# Warnings lintian gives that are right for this package, each with its reason.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME corvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VENDOR "Corvane developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "client for text worlds (MUCKs and MUDs)")
set(CPACK_PACKAGE_DESCRIPTION [=[
Corvane is a desktop client for text worlds, MUCKs and MUDs, reached over
telnet or TLS. Pick a world from the address book, log a stored character in
with one click, and play in a scrolling output window with an input line.

On top of that it gives MUCK players a lag meter from the server's output
framing, room tracking with room pictures, a player list from WHO listings,
macro buttons with recording, triggers and aliases, conversation windows for
pages and whispers, MCP editors, session logs and uploads, spell checking and
a direction pad. It opens telnet:// and telnets:// links.

The package also holds corvane-practice-world, a small MUCK server on this
machine to try the client against.]=])
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Corvane developers <${CORVANE_MAINTAINER_ADDRESS}>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CORVANE_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The spell check needs a dictionary; speech an engine Qt can reach; the
# keyring option a Secret Service.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "hunspell-en-us | hunspell-dictionary, qt6-speech-speechd-plugin, speech-dispatcher")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnome-keyring")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
