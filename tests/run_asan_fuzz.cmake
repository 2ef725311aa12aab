# Builds TARGET in an AddressSanitizer tree at ASAN_BUILD_DIR and runs it; fails on any sanitizer report.
# Usage: cmake -DSOURCE_DIR=... -DASAN_BUILD_DIR=... -DGENERATOR=Ninja -DTARGET=... -P run_asan_fuzz.cmake
foreach(var SOURCE_DIR ASAN_BUILD_DIR GENERATOR TARGET)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_asan_fuzz.cmake needs -D${var}=...")
  endif()
endforeach()

function(run_step what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc})")
  endif()
endfunction()

if(NOT EXISTS ${ASAN_BUILD_DIR}/CMakeCache.txt)
  run_step("Configuring the AddressSanitizer tree" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${ASAN_BUILD_DIR}
    -G ${GENERATOR} -DCMAKE_BUILD_TYPE=Debug -DKOLVANE_ASAN=ON -DKOLVANE_WERROR=ON -DKOLVANE_BENCH=OFF)
endif()
# One job: the machine's cores are shared.
run_step("Building ${TARGET} with AddressSanitizer" ${CMAKE_COMMAND} --build ${ASAN_BUILD_DIR} --target ${TARGET} -j 1)
set(ENV{ASAN_OPTIONS} "detect_leaks=1:abort_on_error=0:halt_on_error=1")
set(ENV{UBSAN_OPTIONS} "print_stacktrace=1:halt_on_error=1")
run_step("${TARGET} under AddressSanitizer" ${ASAN_BUILD_DIR}/bin/${TARGET})
