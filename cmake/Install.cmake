# Installing like a desktop program: the executable in bin/, the data the game
# reads from its current directory in share/zandor-puzzle/, icons in the hicolor
# theme, a desktop entry that starts the game in that folder, AppStream
# metainfo, and a Debian package built with CPack.
include(GNUInstallDirs)

set(ZANDOR_DATA_SUBDIR ${CMAKE_INSTALL_DATADIR}/zandor-puzzle)
set(ZANDOR_INSTALL_BIN ${CMAKE_INSTALL_FULL_BINDIR})
set(ZANDOR_INSTALL_DATA ${CMAKE_INSTALL_FULL_DATADIR}/zandor-puzzle)
set(ZANDOR_APP_ID org.example.zandorpuzzle)

set(ZANDOR_DESKTOP_FILE ${CMAKE_BINARY_DIR}/desktop/zandor-puzzle.desktop)
set(ZANDOR_METAINFO_FILE ${CMAKE_BINARY_DIR}/desktop/${ZANDOR_APP_ID}.metainfo.xml)
configure_file(${CMAKE_SOURCE_DIR}/res/desktop/zandor-puzzle.desktop.in ${ZANDOR_DESKTOP_FILE} @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/res/desktop/zandor-puzzle.metainfo.xml.in ${ZANDOR_METAINFO_FILE} @ONLY)

install(TARGETS zandor-puzzle RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${ZANDOR_RUN_DIR}/bitmaps ${ZANDOR_RUN_DIR}/sounds ${ZANDOR_RUN_DIR}/midi
        DESTINATION ${ZANDOR_DATA_SUBDIR})
# The solver's pattern databases (tools/tablegen), read from the data folder's solver/.
if(TARGET zandor_solver_tables)
  install(DIRECTORY ${ZANDOR_SOLVER_TABLE_DIR} DESTINATION ${ZANDOR_DATA_SUBDIR})
endif()
# The desktop entry names absolute paths, so it is written for the prefix the
# files are really installed under (CPack installs under /usr).
install(CODE "
  set(ZANDOR_INSTALL_BIN \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  set(ZANDOR_INSTALL_DATA \"\${CMAKE_INSTALL_PREFIX}/${ZANDOR_DATA_SUBDIR}\")
  configure_file(\"${CMAKE_SOURCE_DIR}/res/desktop/zandor-puzzle.desktop.in\"
                 \"${CMAKE_BINARY_DIR}/desktop/install/zandor-puzzle.desktop\" @ONLY)
")
install(FILES ${CMAKE_BINARY_DIR}/desktop/install/zandor-puzzle.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZANDOR_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_BINARY_DIR}/res/icon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME zandor-puzzle.png)
endforeach()
if(TARGET zandor_screenshot)
  install(FILES ${ZANDOR_SCREENSHOT_FILE} DESTINATION ${ZANDOR_DATA_SUBDIR}/screenshots)
endif()

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zandor-puzzle)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zandor Puzzle team <zandor-puzzle@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sliding-tile picture puzzle")
set(CPACK_PACKAGE_DESCRIPTION
    "A picture is cut into 2 to 10 by 2 to 10 tiles and scrambled by a random walk of the gap; slide the tiles back while moves and time are counted.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the shared libraries do not bring: the
# soundfont the music is played with, and the fonts the dialogs ask for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "timgm6mb-soundfont, fonts-liberation2, fonts-comic-neue")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zandor-puzzle.example.org/")
include(CPack)
