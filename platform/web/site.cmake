# The browser's site, built by emcmake: the game as WebAssembly, its data preloaded, and the
# page around it, all in site/ of the build folder, which any web server serves.
set(VORSKA_SITE ${CMAKE_BINARY_DIR}/site)
set(VORSKA_PAGE_FILES index.html game.html page.js frame.js)
set(VORSKA_DATA_FOLDERS data gfx font_sm sfx)

# The browser's entry, which calls the game's main: in the program itself, since nothing in the
# game asks for it by name and a library's member would be left out.
target_sources(vorska PRIVATE ${CMAKE_CURRENT_LIST_DIR}/sdl_main.cpp)
set_target_properties(vorska PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VORSKA_SITE} SUFFIX ".js")
# emscripten's optimizer runs under node and needs Debian's node modules, which a node of
# another origin does not look in: the link is told where they are.
set_target_properties(vorska PROPERTIES CXX_LINKER_LAUNCHER "${CMAKE_COMMAND};-E;env;NODE_PATH=/usr/share/nodejs")
# ASYNCIFY lets the game's own loop yield to the browser inside the flip; no indirect call
# leads there, so those need not be able to unwind. The pictures are decoded in the module
# (stb_image) because the game decodes them from memory. EXIT_RUNTIME tells the page when the
# game ends; the page starts main itself once a designer's files are in place.
target_link_options(vorska PRIVATE -lSDL -sASYNCIFY -sASYNCIFY_IGNORE_INDIRECT=1 -sASYNCIFY_STACK_SIZE=16384
  -sSTB_IMAGE=1 -sEXIT_RUNTIME=1 -sINVOKE_RUN=0 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864
  -sENVIRONMENT=web -sEXPORTED_RUNTIME_METHODS=FS,callMain)

# The data, preloaded into vorska.data at the paths the game reads them from; a changed data
# file makes the site again.
foreach(folder ${VORSKA_DATA_FOLDERS})
  target_link_options(vorska PRIVATE "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/${folder}@${folder}")
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*)
  set_property(TARGET vorska APPEND PROPERTY LINK_DEPENDS ${files})
endforeach()

# The page beside the game, copied again whenever it changes.
set(page_copies)
foreach(file ${VORSKA_PAGE_FILES})
  add_custom_command(OUTPUT ${VORSKA_SITE}/${file}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/${file} ${VORSKA_SITE}/${file}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${file})
  list(APPEND page_copies ${VORSKA_SITE}/${file})
endforeach()
add_custom_target(vorska_page ALL DEPENDS ${page_copies})
