# Fails when a source file includes a header of a layer above its own.
#
# The simulation library is a stack: core < genetics < behaviour < world <
# sim. The desktop program (ui), the command-line tools (tools) and the
# Python module (python) sit on top, side by side: none includes another.
# Only ui includes Qt.
#
#   cmake -DSOURCE_DIR=<repository> -P cmake/check_layers.cmake
cmake_policy(SET CMP0057 NEW)  # if(... IN_LIST ...)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "check_layers: set SOURCE_DIR")
endif()

set(layers core genetics behaviour world sim ui tools python)
set(rank_core 0)
set(rank_genetics 1)
set(rank_behaviour 2)
set(rank_world 3)
set(rank_sim 4)
set(rank_ui 5)
set(rank_tools 5)
set(rank_python 5)

set(violations "")
foreach(layer ${layers})
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
       ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(source ${sources})
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line ${includes})
      if(line MATCHES "#[ \t]*include[ \t]*\"([a-z_]+)/")
        set(target ${CMAKE_MATCH_1})
        if(DEFINED rank_${target})
          if(rank_${target} GREATER rank_${layer}
             OR (rank_${target} EQUAL rank_${layer} AND NOT target STREQUAL layer))
            list(APPEND violations "${source}: ${layer} includes ${target}: ${line}")
          endif()
        endif()
      elseif(line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*)" AND NOT layer STREQUAL "ui")
        list(APPEND violations "${source}: only ui includes Qt: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

# Inside ui: the main window puts the others together, so no other window's
# file includes it, and no header reaches itself through the headers it
# includes.
file(GLOB ui_files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/ui/*.h ${SOURCE_DIR}/ui/*.cpp)
set(ui_headers "")
foreach(source ${ui_files})
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"ui/")
  set(uses_${source} "")
  foreach(line ${includes})
    if(line MATCHES "\"(ui/[a-z_]+\\.h)\"")
      list(APPEND uses_${source} ${CMAKE_MATCH_1})
    endif()
  endforeach()
  if(source MATCHES "\\.h$")
    list(APPEND ui_headers ${source})
  endif()
  if("ui/main_window.h" IN_LIST uses_${source}
     AND NOT source MATCHES "^ui/(main|main_window)\\.cpp$")
    list(APPEND violations "${source}: only the program's main and the main window include ui/main_window.h")
  endif()
endforeach()
foreach(header ${ui_headers})
  set(reached "")
  set(frontier ${uses_${header}})
  while(frontier)
    list(POP_FRONT frontier next)
    if(next IN_LIST reached)
      continue()
    endif()
    list(APPEND reached ${next})
    list(APPEND frontier ${uses_${next}})
  endwhile()
  if(header IN_LIST reached)
    list(APPEND violations "${header}: includes itself through the headers it includes")
  endif()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Includes across the layers:\n  ${text}")
endif()
message(STATUS "Layers: every include points down, and no ui header runs in a circle")
