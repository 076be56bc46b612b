# Runs the ThreadSanitizer build of the stress test. Any report of a race, or
# a missing build (scripts/thread-check.sh makes it), fails the run.
if(NOT EXISTS "${BINARY}")
  message(FATAL_ERROR "not built: ${BINARY} (scripts/thread-check.sh builds it)")
endif()
set(ENV{TSAN_OPTIONS} "halt_on_error=1 exitcode=66")
execute_process(COMMAND "${BINARY}" RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT result EQUAL 0 OR err MATCHES "WARNING: ThreadSanitizer")
  message(FATAL_ERROR "the stress test under ThreadSanitizer failed (exit ${result})")
endif()
