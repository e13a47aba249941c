# Lays out the game tree under ${GAME_TREE}; the executable runs from Bin/Game.
set(GAME_TREE ${CMAKE_BINARY_DIR}/game)
set(GAME_WORKDIR ${GAME_TREE}/Bin/Game)
set(DATA_DIR ${CMAKE_SOURCE_DIR}/data)

set_target_properties(vantorel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${GAME_WORKDIR})

set(GAME_TREE_DIRS
  Data/System Data/GamePlay Data/Effects Data/Reactor Data/Scenes Data/Cutscene Data/GUI
  Objects/Warheads Saves Resultados Video Bin/Game)
set(MKDIRS)
foreach(d ${GAME_TREE_DIRS})
  list(APPEND MKDIRS ${GAME_TREE}/${d})
endforeach()

file(MAKE_DIRECTORY ${MKDIRS})

set(OGRE_PLUGIN_FOLDER ${OGRE_PLUGIN_DIR})
if(NOT OGRE_PLUGIN_FOLDER)
  set(OGRE_PLUGIN_FOLDER /usr/lib/x86_64-linux-gnu/OGRE)
endif()
configure_file(${DATA_DIR}/plugins.cfg.in ${CMAKE_BINARY_DIR}/plugins.cfg @ONLY)

find_file(GUI_FONT_FILE LiberationSans-Bold.ttf PATHS /usr/share/fonts/truetype/liberation NO_DEFAULT_PATH)
if(NOT GUI_FONT_FILE)
  message(FATAL_ERROR "LiberationSans-Bold.ttf not found: install fonts-liberation")
endif()

# Resource archives: one Zip per folder under data/paks/.
set(PAK_COMMANDS)
foreach(pak StoryImgs Core Char)
  list(APPEND PAK_COMMANDS
    COMMAND ${CMAKE_COMMAND} -E chdir ${DATA_DIR}/paks/${pak}
            ${CMAKE_COMMAND} -E tar cf ${GAME_TREE}/Data/System/${pak}.pak --format=zip .)
endforeach()

add_custom_target(game_tree ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${MKDIRS}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${DATA_DIR}/game ${GAME_TREE}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_BINARY_DIR}/plugins.cfg ${GAME_WORKDIR}/plugins.cfg
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${GUI_FONT_FILE} ${GAME_TREE}/Data/GUI/LiberationSans-Bold.ttf
  COMMAND ${CMAKE_COMMAND} -DSRC=${DATA_DIR}/defaults/config.ini -DDST=${GAME_WORKDIR}/config.ini
          -P ${CMAKE_SOURCE_DIR}/cmake/CopyIfMissing.cmake
  COMMAND ${CMAKE_COMMAND} -DSRC=${DATA_DIR}/defaults/ctrlConfig.ini -DDST=${GAME_WORKDIR}/ctrlConfig.ini
          -P ${CMAKE_SOURCE_DIR}/cmake/CopyIfMissing.cmake
  ${PAK_COMMANDS}
  COMMAND $<TARGET_FILE:databuilder> ${DATA_DIR}
  WORKING_DIRECTORY ${GAME_WORKDIR}
  COMMENT "Laying out the game tree in ${GAME_TREE}"
  VERBATIM)
add_dependencies(game_tree databuilder vantorel)
