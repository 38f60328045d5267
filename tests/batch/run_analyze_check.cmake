# ctest `batch_analyze`: rdsim-batch --analyze, its CSV and its exit codes.
#   cmake -DBATCH=<rdsim-batch> -DWORK=<dir> -P run_analyze_check.cmake
foreach(var BATCH WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_analyze_check.cmake needs -D${var}=...")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# The design coefficients, from the file the shell scripts source.
file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/../../scripts/design_coefficients.sh" design REGEX "^design_params=")
string(REPLACE "design_params=" "" design "${design}")
# Runs rdsim-batch; fails unless it exits with `code` and `pattern` is in its output.
function(expect code pattern)
  execute_process(COMMAND "${BATCH}" ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL code OR NOT "${out}${err}" MATCHES "${pattern}")
    message(FATAL_ERROR "rdsim-batch ${ARGN}: exit ${result}, expected ${code} and \"${pattern}\"\n${out}${err}")
  endif()
endfunction()

expect(0 "Verdict: stationary pattern.*wavelength 9\\.559 cells"
       --analyze --mode 2d --size 128 --params ${design} --analyze-csv ${WORK}/modes.csv)
file(STRINGS "${WORK}/modes.csv" rows)
list(LENGTH rows count)
list(GET rows 0 header)
if(NOT count EQUAL 32769 OR NOT header STREQUAL "state,m,n,mu,factor_re,factor_im,factor_abs,growth_per_step"
   OR EXISTS "${WORK}/modes.csv.part")
  message(FATAL_ERROR "modes.csv: ${count} lines, header \"${header}\"")
endif()

expect(2 "no uniform steady state" --analyze --mode 1d --size 32 --params "0,0,0.1,-0.03,0,-0.03,0,0.01,0.25,0.2,0.5")
expect(2 "not isolated" --analyze --mode 1d --size 32 --params "0,0,0,0,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5")
expect(2 "--steps: cannot be combined with --analyze" --analyze --steps 5 --mode 1d --size 32 --params ${design})
expect(2 "--analyze: takes no value" --analyze=1 --mode 1d --size 32 --params ${design})
expect(2 "--analyze-csv: .*cannot write" --mode 1d --size 32 --params ${design}
       --analyze-csv ${WORK}/missing/modes.csv)
expect(2 "--params" --analyze --mode 1d --size 32 --params "0.08,x,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5")

# --wavelength: the final field's dominant wavelength, none for a uniform one.
expect(0 "wavelength=none\nsteps=10 " --mode 2d --size 16 --steps 10 --params ${design} --wavelength)
expect(0 "wavelength=1[01]\\.[0-9]+\nsteps=5000 " --mode 1d --size 128 --steps 5000 --random 1 --params ${design}
       --wavelength)
expect(2 "--wavelength: cannot be combined with --analyze" --analyze --wavelength --mode 1d --size 8 --params ${design})
expect(2 "--wavelength: takes no value" --mode 1d --size 8 --steps 1 --params ${design} --wavelength=3)
