# The art generators' pictures and PNG files, which the checker's sheet draws with too. Both
# the art project and the game's build include this file, so that img.cpp is one library, built
# once: the art project also builds on its own (cmake -S art), and the checker is built when the
# game's build leaves the art out, so neither can rely on the other to define it.
if(NOT TARGET artimg)
  find_package(PNG REQUIRED)
  add_library(artimg STATIC ${CMAKE_CURRENT_LIST_DIR}/img.cpp)
  target_include_directories(artimg PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(artimg PUBLIC PNG::PNG)
endif()
