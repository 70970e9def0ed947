# Runs TERMSIM with ARGS (prefixed by EMULATOR when cross-built); checks that it exits with EXIT (0 or "nonzero") and
# that its output matches every regular expression in EXPECT.
execute_process(COMMAND ${EMULATOR} ${TERMSIM} ${ARGS}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(EXIT STREQUAL "nonzero")
  if(status EQUAL 0)
    message(FATAL_ERROR "termsim succeeded where it should have failed")
  endif()
elseif(NOT status EQUAL EXIT)
  message(FATAL_ERROR "termsim exited with ${status}, not ${EXIT}")
endif()
foreach(pattern IN LISTS EXPECT)
  if(NOT "${out}${err}" MATCHES "${pattern}")
    message(FATAL_ERROR "termsim's output does not match: ${pattern}")
  endif()
endforeach()
