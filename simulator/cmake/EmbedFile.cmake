# sim_embed_file(<out_var> FILE <path> FUNCTION <sim::name>)
# Generates a source that defines `std::string_view <name>()` returning the
# file's bytes, and appends it to <out_var>. The file is re-embedded whenever it
# changes.
set(_SIM_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed_file_step.cmake)

function(sim_embed_file out_var)
  cmake_parse_arguments(ARG "" "FILE;FUNCTION" "" ${ARGN})
  get_filename_component(input ${ARG_FILE} ABSOLUTE)
  get_filename_component(stem ${input} NAME_WE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/embedded_${stem}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DFUNCTION=${ARG_FUNCTION}
            -P ${_SIM_EMBED_SCRIPT}
    DEPENDS ${input} ${_SIM_EMBED_SCRIPT}
    COMMENT "Embedding ${ARG_FILE}"
    VERBATIM)
  set(${out_var} ${${out_var}} ${output} PARENT_SCOPE)
endfunction()
