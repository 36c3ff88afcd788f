# Installation and packaging: the library with its headers, a CMake package and a
# pkg-config file; the demo programs behind launchers that find their media; the
# media; the man pages; and a Debian package through CPack.
include(CMakePackageConfigHelpers)

set(ORVANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Orvane)
set(ORVANE_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/orvane)
set(ORVANE_DATA_PARENT ${CMAKE_INSTALL_DATADIR}/orvane)

# Library and public headers (the *_paths.h headers are the fast paths' own).
install(TARGETS orvane EXPORT OrvaneTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY app video images fx DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/orvane
        FILES_MATCHING PATTERN "*.h" PATTERN "*_paths.h" EXCLUDE)

install(EXPORT OrvaneTargets NAMESPACE Orvane:: DESTINATION ${ORVANE_CMAKE_DIR})
configure_package_config_file(cmake/OrvaneConfig.cmake.in ${PROJECT_BINARY_DIR}/OrvaneConfig.cmake
                              INSTALL_DESTINATION ${ORVANE_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/OrvaneConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/OrvaneConfig.cmake ${PROJECT_BINARY_DIR}/OrvaneConfigVersion.cmake
        DESTINATION ${ORVANE_CMAKE_DIR})

# The pkg-config file finds its prefix from its own place, so an installation
# can be moved or unpacked under any DESTDIR.
file(RELATIVE_PATH ORVANE_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
configure_file(cmake/orvane.pc.in ${PROJECT_BINARY_DIR}/orvane.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/orvane.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The demo programs read ./data, so each is installed out of the PATH with a
# launcher in bin/ that runs it from the installed media's parent folder.
file(RELATIVE_PATH ORVANE_LAUNCHER_TO_PROGRAMS /${CMAKE_INSTALL_BINDIR} /${ORVANE_PROGRAM_DIR})
file(RELATIVE_PATH ORVANE_LAUNCHER_TO_DATA /${CMAKE_INSTALL_BINDIR} /${ORVANE_DATA_PARENT})
foreach(program IN ITEMS framework_test framework_test_fullscreen)
  install(TARGETS ${program} RUNTIME DESTINATION ${ORVANE_PROGRAM_DIR})
  set(ORVANE_PROGRAM ${program})
  configure_file(cmake/launcher.sh.in ${PROJECT_BINARY_DIR}/launchers/${program} @ONLY)
  install(PROGRAMS ${PROJECT_BINARY_DIR}/launchers/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()
install(TARGETS upscale RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY data DESTINATION ${ORVANE_DATA_PARENT})
install(FILES docs/man/framework_test.1 docs/man/framework_test_fullscreen.1 docs/man/upscale.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VENDOR "Orvane developers")
set(CPACK_PACKAGE_CONTACT "Orvane developers <dev@orvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Software-rendering framework on SDL 1.2, with its demo")
set(CPACK_PACKAGE_DESCRIPTION
    "A small C++ framework that draws into a paged 32-bit framebuffer: bilinear rotozoomer, sprite blit, pixel-art upscaler. Ships the demo programs framework_test and framework_test_fullscreen, the upscale viewer, the static library, headers and CMake/pkg-config files.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The headers need SDL's, and a program linking the static library needs SDL's libraries.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libsdl1.2-dev, libsdl-image1.2-dev, libsdl-mixer1.2-dev")
include(CPack)
