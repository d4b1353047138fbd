# SPDX-License-Identifier: MIT
# Install rules and the Debian packages: tandor-config (the program, its desktop entry, icons
# and AppStream metainfo; tandor-cli with its manual page and bash completion) and tandor-sim
# (the interface simulator, optional).
include(GNUInstallDirs)

set(TANDOR_APP_ID org.tandorconfig.TandorConfig)

install(TARGETS tandor-config RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT app)
install(TARGETS tandor-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT sim)
install(TARGETS tandor-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT app)

# Debian keeps manual pages compressed; -n leaves out the name and time, so the bytes only
# change with the page.
set(TANDOR_CLI_MAN ${CMAKE_BINARY_DIR}/packaging/tandor-cli.1.gz)
add_custom_command(OUTPUT ${TANDOR_CLI_MAN}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" sh
            ${CMAKE_SOURCE_DIR}/packaging/tandor-cli.1 ${TANDOR_CLI_MAN}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/tandor-cli.1
    VERBATIM)
add_custom_target(tandor-cli-man ALL DEPENDS ${TANDOR_CLI_MAN})
install(FILES ${TANDOR_CLI_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT app)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/tandor-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME tandor-cli COMPONENT app)

install(FILES ${CMAKE_SOURCE_DIR}/packaging/tandor-config.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT app)
configure_file(${CMAKE_SOURCE_DIR}/packaging/${TANDOR_APP_ID}.metainfo.xml
               ${CMAKE_BINARY_DIR}/packaging/${TANDOR_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${TANDOR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT app)
install(FILES ${TANDOR_ICON_PNG}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
        RENAME tandor-config.png COMPONENT app)
install(FILES ${TANDOR_ICON_SVG}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME tandor-config.svg COMPONENT app)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tandor-config)
set(CPACK_PACKAGE_VENDOR "The tandor-config developers")
set(CPACK_PACKAGE_CONTACT "The tandor-config developers <maintainers@tandor-config.invalid>")
# CPack puts the package summary in front of every component's description; left at its
# default it does not, so each package below carries its own summary line.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The packaged programs carry no debug information, whatever the build type.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL app sim)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_APP_PACKAGE_NAME tandor-config)
set(CPACK_DEBIAN_APP_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_APP_PACKAGE_SUGGESTS tandor-sim)
# The faces the window was sized for: Wine's Tahoma and MS Sans Serif, Liberation Sans for
# Arial (the program registers them from these packages' paths at start). The generated
# library dependencies are added to this list.
set(CPACK_DEBIAN_APP_PACKAGE_DEPENDS "fonts-wine, fonts-liberation2")
set(CPACK_DEBIAN_SIM_PACKAGE_NAME tandor-sim)
set(CPACK_DEBIAN_SIM_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_APP_DESCRIPTION
    "${PROJECT_DESCRIPTION}\n"
    "Reads and edits the sixteen parameters of the interface over a serial port,\n"
    "with a live block diagram, store and revert, and parameter set files.\n"
    "tandor-cli reads, writes, verifies, stores and reverts units from the command\n"
    "line, for scripts and for setting up many units.")
set(CPACK_COMPONENT_SIM_DESCRIPTION
    "Simulator of the Tandor radio interface\n"
    "Plays the interface unit over a pseudo-terminal, for demonstrations and tests\n"
    "of tandor-config without hardware.")
string(JOIN "" CPACK_COMPONENT_APP_DESCRIPTION ${CPACK_COMPONENT_APP_DESCRIPTION})
string(JOIN "" CPACK_COMPONENT_SIM_DESCRIPTION ${CPACK_COMPONENT_SIM_DESCRIPTION})
include(CPack)
