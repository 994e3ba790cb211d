# Runs draw_pictures into a fresh folder and compares what it wrote with the committed pictures:
# the same PNG files, byte for byte (the icon within one unit per channel, see below).
#   cmake -DTOOL=<draw_pictures> -DCOMMITTED=<source>/assets -DOUTPUT=<folder> -P <this file>
foreach(name TOOL COMMITTED OUTPUT)
  if(NOT ${name})
    message(FATAL_ERROR "${name} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${OUTPUT}")
file(MAKE_DIRECTORY "${OUTPUT}")
execute_process(COMMAND "${TOOL}" "${OUTPUT}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "draw_pictures failed (${result}):\n${output}")
endif()

file(GLOB_RECURSE written RELATIVE "${OUTPUT}" "${OUTPUT}/*.png")
file(GLOB_RECURSE committed RELATIVE "${COMMITTED}" "${COMMITTED}/*.png")
set(missing ${committed})
list(REMOVE_ITEM missing ${written})
set(extra ${written})
list(REMOVE_ITEM extra ${committed})
if(missing OR extra)
  message(FATAL_ERROR "draw_pictures wrote other files than those committed\n"
    "  committed but not written: ${missing}\n  written but not committed: ${extra}")
endif()

set(different "")
foreach(picture IN LISTS written)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
    "${OUTPUT}/${picture}" "${COMMITTED}/${picture}" RESULT_VARIABLE same)
  if(NOT same EQUAL 0 AND picture MATCHES "icon")
    # The icon's antialiased edges are blended by whichever vector path Qt picks for the
    # processor, and those paths round some edge pixels one unit apart. The icon is held to
    # within that unit per channel; every other picture is pixel art and byte for byte.
    execute_process(COMMAND compare -metric AE -fuzz 1%
      "${OUTPUT}/${picture}" "${COMMITTED}/${picture}" null:
      RESULT_VARIABLE same OUTPUT_QUIET ERROR_QUIET)
  endif()
  if(NOT same EQUAL 0)
    list(APPEND different "${picture}")
  endif()
endforeach()
if(different)
  message(FATAL_ERROR "draw_pictures drew these differently from the committed files: "
    "${different}\nIf the change is meant, run the tool on ${COMMITTED} and commit the pictures.")
endif()
list(LENGTH written count)
message(STATUS "all ${count} pictures drawn as committed")
