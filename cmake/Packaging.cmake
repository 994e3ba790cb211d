# The Debian package that scripts/package builds: CPack's DEB generator, plus the two files
# Debian requires of every package and CPack does not write, the copyright file and the
# changelog. Both are made from the project's own facts (LICENSE, the version), so they
# cannot drift from them.
set(SKELVANE_MAINTAINER "Skelvane developers <maintainers@skelvane.invalid>")
set(debian_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/skelvane)

# Debian's machine-readable copyright format calls the MIT licence "Expat" and wants its
# text indented by one space, with "." standing for an empty line.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
if(NOT license MATCHES "Copyright \\(c\\) ([^\n]+)\n\n(Permission .*[^\n])\n*$")
  message(FATAL_ERROR "LICENSE: expected a copyright line followed by the MIT permission text")
endif()
set(SKELVANE_COPYRIGHT "${CMAKE_MATCH_1}")
string(REPLACE "\n" "\n " SKELVANE_LICENSE_TEXT " ${CMAKE_MATCH_2}")
string(REPLACE "\n \n" "\n .\n" SKELVANE_LICENSE_TEXT "${SKELVANE_LICENSE_TEXT}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in copyright @ONLY)

configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in changelog @ONLY)
execute_process(COMMAND gzip -9 -n -c ${CMAKE_CURRENT_BINARY_DIR}/changelog
                OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)

install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION ${debian_doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skelvane)
set(CPACK_PACKAGE_VENDOR "the Skelvane developers")
set(CPACK_PACKAGE_CONTACT "${SKELVANE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "BVH motion file converter from Poser-style to Max-style joint names")
set(CPACK_PACKAGE_DESCRIPTION
    "Skelvane renames the joints of BVH motion capture files, so that animation
made with Poser-style names (hip, abdomen, rShldr, fingers, toes, eyes) loads
into tools that expect Max-style names (Hips, Chest, RightShoulder).

The window collects up to 22 files in a job list, shows on a body diagram
which parts of each file are converted, lets parts be switched off, and
converts the whole list in one go. The command-line tool skelvane-convert
does the same conversion for scripts.

Sources are never written over, and an existing output is only ever
replaced by a complete one.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
