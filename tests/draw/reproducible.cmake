# Runs the font and icon generators again into a scratch folder and checks that they write exactly the files
# the build made: a clean build regenerates identical data.
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(COMMAND ${FONTGEN} ${SANS} ${SANS_BOLD} ${CONDENSED} ${CONDENSED_BOLD}
                        ${SCRATCH}/font_data.cpp ${SCRATCH}/truetype_face.cpp COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${FONTGEN} --chart ${SANS_MONO} ${SCRATCH}/chart_font_data.cpp COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${IMAGEGEN} ${ASSETS}/icons.txt ${ASSETS} ${SCRATCH}/icon_data.cpp ${SCRATCH}/icon_data.h
                COMMAND_ERROR_IS_FATAL ANY)
foreach(f font_data.cpp truetype_face.cpp icon_data.cpp icon_data.h)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SCRATCH}/${f} ${GENERATED}/${f} RESULT_VARIABLE diff)
  if(diff)
    message(FATAL_ERROR "${f} differs from the build's copy")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SCRATCH}/chart_font_data.cpp
                        ${CHART_GENERATED}/chart_font_data.cpp RESULT_VARIABLE diff)
if(diff)
  message(FATAL_ERROR "chart_font_data.cpp differs from the build's copy")
endif()
message(STATUS "generated font and icon data are identical")
