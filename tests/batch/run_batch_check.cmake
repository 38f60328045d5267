# ctest `batch`: rdsim-batch against the reference transcription.
#   cmake -DBATCH=<rdsim-batch> -DCHECKER=<rdsim_batch_check> -DWORK=<dir> -P run_batch_check.cmake
# RDSIM_BATCH_CASES in the environment sets the number of random runs (120),
# e.g. fewer in a sanitizer build; RDSIM_BATCH_SEED picks other cases.
foreach(var BATCH CHECKER WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_batch_check.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

set(options)
if(DEFINED ENV{RDSIM_BATCH_CASES})
  list(APPEND options --cases "$ENV{RDSIM_BATCH_CASES}")
endif()
if(DEFINED ENV{RDSIM_BATCH_SEED})
  list(APPEND options --seed "$ENV{RDSIM_BATCH_SEED}")
endif()

execute_process(COMMAND "${CHECKER}" "${BATCH}" "${WORK}" ${options} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "batch check failed (${result})")
endif()
