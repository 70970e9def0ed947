# Device modules: programs (.exe) and libraries (.dll) are shared objects that
# the loader maps privately for every process. A version script made from the
# entry point (WinMain) or the export list (.def) decides what is visible, as the
# export list does on the device; everything else is local and binds inside the
# module (-Bsymbolic).

# Turns a module-definition file into a linker version script.
function(_device_version_script def_file out_file)
  file(STRINGS ${def_file} lines)
  set(names "")
  set(in_exports FALSE)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^;")
      continue()
    endif()
    if(line MATCHES "^EXPORTS")
      set(in_exports TRUE)
      continue()
    endif()
    if(line MATCHES "^(LIBRARY|NAME|DESCRIPTION|VERSION)")
      continue()
    endif()
    if(in_exports)
      string(REGEX MATCH "^[A-Za-z_][A-Za-z0-9_]*" name "${line}")
      string(APPEND names "    ${name};\n")
    endif()
  endforeach()
  file(WRITE ${out_file} "{\n  global:\n${names}  local: *;\n};\n")
endfunction()

function(_device_module target device_name)
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${device_name}
    SUFFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${DEVICE_IMAGE_DIR}/Windows)
  target_link_libraries(${target} PRIVATE platform project_warnings)
  target_link_options(${target} PRIVATE -Wl,-Bsymbolic -Wl,--no-undefined)
  set_property(GLOBAL APPEND PROPERTY DEVICE_MODULES ${target})
endfunction()

# add_device_program(<target> NAME <AirSwitch.exe> SOURCES ...)
function(add_device_program target)
  cmake_parse_arguments(ARG "" "NAME" "SOURCES" ${ARGN})
  add_library(${target} MODULE ${ARG_SOURCES})
  _device_module(${target} ${ARG_NAME})
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  file(WRITE ${script} "{\n  global:\n    WinMain;\n  local: *;\n};\n")
  target_link_options(${target} PRIVATE -Wl,--version-script=${script})
endfunction()

# add_device_library(<target> NAME <snapcore.dll> DEF <file.def> SOURCES ...)
function(add_device_library target)
  cmake_parse_arguments(ARG "" "NAME;DEF" "SOURCES" ${ARGN})
  add_library(${target} MODULE ${ARG_SOURCES})
  _device_module(${target} ${ARG_NAME})
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  _device_version_script(${ARG_DEF} ${script})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ARG_DEF})
  target_link_options(${target} PRIVATE -Wl,--version-script=${script})
endfunction()

# target_device_resources(<target> <script.rc>): compiles the module's resource
# script with tools/rc into its ".rsrc" section. The script may include the
# platform's headers (<windows.h>) and its own resource.h. The build follows
# every file the script reads (headers, icons, bitmaps, data files), so a change
# to any of them rebuilds the module.
function(target_device_resources target script)
  get_filename_component(script_path ${script} ABSOLUTE)
  get_filename_component(script_name ${script} NAME_WE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_${script_name}_resources.cpp)
  add_custom_command(OUTPUT ${out}
    COMMAND rc -I ${PROJECT_SOURCE_DIR}/platform/include -o ${out} -d ${out}.d ${script_path}
    DEPENDS rc ${script_path}
    DEPFILE ${out}.d
    COMMENT "Compiling resources ${script}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
