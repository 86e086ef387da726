# Regenerates the patch-format reference with the program and fails when the checked-in copy differs.
# Usage: cmake -DPROGRAM=murmelwerk-render -DREFERENCE=docs/patch-format.md -DOUTPUT=build/docs/patch-format.md
#        -P check_reference.cmake
get_filename_component(folder "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
execute_process(COMMAND "${PROGRAM}" --patch-format-reference OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --patch-format-reference failed: ${status}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}" "${REFERENCE}" RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${REFERENCE} is not what the program writes (${OUTPUT}); regenerate it with\n"
                      "  murmelwerk-render --patch-format-reference > docs/patch-format.md")
endif()
