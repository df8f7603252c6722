# Install rules in the layout of Debian's games: the engine outside PATH, a launcher among
# the games, the data beside other games' data. The launcher finds both from where it lies,
# so the tree works under any prefix.
include(GNUInstallDirs)
set(VORSKA_GAMES_BINDIR "games" CACHE STRING "Folder of the launcher and the designer's programs, relative to the prefix")
set(VORSKA_ENGINE_DIR "lib/games/vorska" CACHE STRING "Folder of the game binary, relative to the prefix")
set(VORSKA_DATA_DIR "${CMAKE_INSTALL_DATAROOTDIR}/games/vorska" CACHE STRING "Folder of the game data, relative to the prefix")

file(RELATIVE_PATH VORSKA_ENGINE_FROM_LAUNCHER /p/${VORSKA_GAMES_BINDIR} /p/${VORSKA_ENGINE_DIR})
file(RELATIVE_PATH VORSKA_DATA_FROM_LAUNCHER /p/${VORSKA_GAMES_BINDIR} /p/${VORSKA_DATA_DIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/vorska.in ${CMAKE_BINARY_DIR}/launcher/vorska @ONLY)

install(TARGETS vorska DESTINATION ${VORSKA_ENGINE_DIR})
install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/vorska DESTINATION ${VORSKA_GAMES_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data ${CMAKE_SOURCE_DIR}/gfx ${CMAKE_SOURCE_DIR}/font_sm ${CMAKE_SOURCE_DIR}/sfx
  DESTINATION ${VORSKA_DATA_DIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vorska.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/example.vorska.vorska.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# the window icon is the 32 pixel desktop icon; the larger ones are drawn at their own size
install(FILES ${CMAKE_SOURCE_DIR}/gfx/logo.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps RENAME vorska.png)
foreach(size 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/icons/vorska_${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vorska.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/man/vorska.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# the README with the guide a level designer needs beside the checker, and the pictures they show,
# in the folders their links name; LICENSE for an install without a package (a package carries
# debian/copyright instead)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/docs/designing.md ${CMAKE_SOURCE_DIR}/docs/screenshot.png
  ${CMAKE_SOURCE_DIR}/docs/sheet.png ${CMAKE_SOURCE_DIR}/docs/playtest.png ${CMAKE_SOURCE_DIR}/docs/phone.png
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)

# The level designer's programs, beside the launcher, as Debian wants every command of a game
# package among the games. They find the data as the launcher does, or the source tree's when
# run from the build.
foreach(tool vorska-check vorska-playtest vorska-replay)
  if(NOT TARGET ${tool})
    continue()
  endif()
  get_target_property(tool_dir ${tool} BINARY_DIR)
  file(RELATIVE_PATH source_from_tool ${tool_dir} ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${tool} PRIVATE VORSKA_DATA_FROM_BIN="${VORSKA_DATA_FROM_LAUNCHER}"
    VORSKA_SOURCE_FROM_BIN="${source_from_tool}")
  install(TARGETS ${tool} DESTINATION ${VORSKA_GAMES_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/man/${tool}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
# the playtest's plot script, where the playtest finds it in the source tree too
install(FILES ${CMAKE_SOURCE_DIR}/playtest/playtest.gp DESTINATION ${VORSKA_DATA_DIR}/playtest)
