# Runs PROGRAM with the argument FLAG and writes what it prints to OUT; with GZIP set, also a
# compressed copy OUT.gz (no name or time stamp inside, so builds give the same bytes).
execute_process(COMMAND "${PROGRAM}" "${FLAG}" OUTPUT_FILE "${OUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${OUT}")
  message(FATAL_ERROR "${PROGRAM} ${FLAG} failed: ${result}")
endif()
if(GZIP)
  execute_process(COMMAND gzip -9nc "${OUT}" OUTPUT_FILE "${OUT}.gz" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip ${OUT} failed: ${result}")
  endif()
endif()
