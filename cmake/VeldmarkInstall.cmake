# Installation and the Debian package.
#
#   cmake --install build --prefix /usr/local        (DESTDIR=... for a staging tree)
#   cd build && cpack -G DEB                          (veldmark_<version>_<arch>.deb, under /usr)
#
# bin/veldmark; share/veldmark/ with the help file, the default AREADEFS.CTL, the example
# template (copied into an empty program directory on the first run) and examples/ (the example
# node's settings, a systemd service and timer, a crontab); share/man/man1/veldmark.1.gz;
# share/doc/veldmark/ with README.md and changelog.gz. The program finds share/veldmark/ as
# ../share/veldmark/ from its own directory, so the layout must keep bin and share side by side.
include(GNUInstallDirs)

set(veldmark_share ${CMAKE_INSTALL_DATADIR}/veldmark)
# Named as the package is (GNUInstallDirs would take the project's name, "Veldmark").
set(veldmark_doc ${CMAKE_INSTALL_DATAROOTDIR}/doc/veldmark)
set(veldmark_generated ${PROJECT_BINARY_DIR}/install)

# The default AREADEFS.CTL is written by the code that the installation uses, not kept twice.
add_executable(veldmark_default_areadefs tools/default_area_definitions.cpp)
target_link_libraries(veldmark_default_areadefs PRIVATE veldmark_config veldmark_headers)
add_custom_command(
  OUTPUT ${veldmark_generated}/AREADEFS.CTL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${veldmark_generated}
  COMMAND veldmark_default_areadefs ${veldmark_generated}
  DEPENDS veldmark_default_areadefs
  COMMENT "Writing the default AREADEFS.CTL"
  VERBATIM)

# Manual page and changelog compressed as Debian keeps them (-n: no name or time inside, so the
# package is the same from build to build).
foreach(doc doc/veldmark.1 CHANGELOG)
  get_filename_component(name ${doc} NAME)
  add_custom_command(
    OUTPUT ${veldmark_generated}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${veldmark_generated}
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/${doc}
            ${veldmark_generated}/${name}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/${doc}
    VERBATIM)
endforeach()
add_custom_target(veldmark_install_files ALL
  DEPENDS ${veldmark_generated}/AREADEFS.CTL ${veldmark_generated}/veldmark.1.gz
          ${veldmark_generated}/CHANGELOG.gz)

install(TARGETS veldmark RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES examples/node/veldmark.hlp examples/node/VELDMARK.TPL
              ${veldmark_generated}/AREADEFS.CTL
        DESTINATION ${veldmark_share})
install(FILES examples/node/VELDMARK.CTL examples/node/AREADEFS.CTL examples/node/VELDMARK.TPL
        DESTINATION ${veldmark_share}/examples/node)
install(FILES examples/systemd/veldmark@.service examples/systemd/veldmark@.timer
              examples/cron/veldmark.crontab
        DESTINATION ${veldmark_share}/examples)
install(FILES ${veldmark_generated}/veldmark.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md DESTINATION ${veldmark_doc})
install(FILES ${veldmark_generated}/CHANGELOG.gz DESTINATION ${veldmark_doc}
        RENAME changelog.gz)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veldmark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Veldmark maintainers <veldmark@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "decode and post files sent as text in FidoNet message bases")
# Lines of at most 79 columns, as the Debian control file wants them (CPack does not wrap).
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Veldmark is a text-mode tool for the operator of a FidoNet node or point."
  "It scans the echomail and netmail areas that the echo processor keeps"
  "(Fido *.MSG, Squish, JAM and Hudson bases) for files posted as text (UUE,"
  "XXE, MIME base64, plain-text sections), gathers and checks the sections,"
  "decodes the files into download directories, lists them in files.bbs and"
  "posts a report of new files. It also encodes files, cuts them into sections"
  "and posts them through a send queue with a daily limit per area."
  "."
  "It runs unattended from cron or a systemd timer, or interactively in a"
  "two-panel ncurses shell. Its texts are Russian; its data is CP866.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies (libc6, libncursesw6, libtinfo6, libstdc++6, libgcc-s1) are read from
# the executable by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The ARCHIVER and PACKER examples of a first VELDMARK.CTL name these.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "unzip, zip")
set(CPACK_STRIP_FILES ON)
include(CPack)
