# Installing the program as a desktop program, and its packages: a Debian package on Linux, a zip
# on Windows. Included from the top-level CMakeLists.txt.
include(GNUInstallDirs)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(CPACK_PACKAGE_NAME tolvaren)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "TOLVAREN developers")
set(CPACK_PACKAGE_CONTACT "TOLVAREN developers <developers@tolvaren.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "full-screen 3D walk-through")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # Unzip and double-click: the program needs no DLL beyond Windows' own.
  install(TARGETS tolvaren RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION . RENAME README.txt)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME tolvaren-${PROJECT_VERSION}-win64)
  include(CPack)
  return()
endif()

# The manual page and the changelog go in compressed, as Debian keeps them.
configure_file(${packaging}/tolvaren.6.in tolvaren.6 @ONLY)
add_custom_command(OUTPUT tolvaren.6.gz changelog.gz
                   COMMAND gzip -9nc tolvaren.6 > tolvaren.6.gz
                   COMMAND gzip -9nc ${packaging}/changelog > changelog.gz
                   DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/tolvaren.6 ${packaging}/changelog)
add_custom_target(compressed_docs ALL DEPENDS tolvaren.6.gz changelog.gz)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS tolvaren RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Software centres find the program by its metainfo, which names the desktop entry.
install(FILES ${packaging}/org.tolvaren.Tolvaren.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/org.tolvaren.Tolvaren.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging}/tolvaren.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${packaging}/tolvaren.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tolvaren.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${packaging}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "TOLVAREN switches the display to 640 x 480, opens a borderless window over
the whole screen and draws a green triangle standing on a blue floor. The
mouse turns and tilts the view, the arrow keys walk and step sideways, End
crouches, A jumps and Escape leaves, giving the desktop its display mode back
however the program ends.")
include(CPack)
