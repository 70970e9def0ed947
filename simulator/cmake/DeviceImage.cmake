# sim_depends_on_image(<target>): building the target builds the whole device
# image, so it finds every program and library. Device modules are declared all
# over the tree, so the dependency is added once the whole project has been read.
function(_sim_add_image_dependency target)
  get_property(modules GLOBAL PROPERTY DEVICE_MODULES)
  if(modules)
    add_dependencies(${target} ${modules})
  endif()
endfunction()

function(sim_depends_on_image target)
  # A deferred call reads its arguments when it runs, so the name goes in literally.
  cmake_language(EVAL CODE
    "cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] CALL _sim_add_image_dependency [[${target}]])")
endfunction()
