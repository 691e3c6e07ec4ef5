# corvane_install_program(TARGET): installs a program where Debian keeps
# games, PREFIX/games, with a link to it in PREFIX/bin, so that PATHs without
# the games folder (root's, a script's) still find it under its name.
include(GNUInstallDirs)
set(CORVANE_INSTALL_GAMESDIR games)

function(corvane_install_program target)
    install(TARGETS ${target} RUNTIME DESTINATION ${CORVANE_INSTALL_GAMESDIR})
    # Linked hardened as Debian builds its packages (read-only relocations).
    target_link_options(${target} PRIVATE LINKER:-z,relro LINKER:-z,now)
    set(name $<TARGET_FILE_NAME:${target}>)
    install(CODE "
        set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(MAKE_DIRECTORY \"\${bin}\")
        message(STATUS \"Installing: \${bin}/${name} -> ../${CORVANE_INSTALL_GAMESDIR}/${name}\")
        file(CREATE_LINK \"../${CORVANE_INSTALL_GAMESDIR}/${name}\" \"\${bin}/${name}\" SYMBOLIC)")
endfunction()
