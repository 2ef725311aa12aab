# Compiles one-line files with a target's include folders and definitions, to show that its layer
# sees what it may and nothing above it. Run by CTest through kolvane_add_include_probe
# (cmake/IncludeProbe.cmake):
#
#   cmake -DCOMPILER=<c++> -DINCLUDES=<dir|dir...> [-DDEFINES=<def|def...>] -DWORK=<folder>
#         -DSEEN=<header|header...> -DHIDDEN=<header|header...> -P include_probe.cmake
#
# Every SEEN header must compile: it shows the flags are whole, so a HIDDEN one cannot fail for a
# wrong reason. Every HIDDEN header must fail, and only because the compiler does not find it.
foreach(required COMPILER INCLUDES WORK SEEN HIDDEN)
  if(NOT DEFINED ${required} OR "${${required}}" STREQUAL "")
    message(FATAL_ERROR "include probe: ${required} is not given")
  endif()
endforeach()

string(REPLACE "|" ";" includes "${INCLUDES}")
string(REPLACE "|" ";" defines "${DEFINES}")
string(REPLACE "|" ";" seen "${SEEN}")
string(REPLACE "|" ";" hidden "${HIDDEN}")
set(flags -std=c++20 -fsyntax-only)
foreach(dir IN LISTS includes)
  list(APPEND flags "-I${dir}")
endforeach()
foreach(define IN LISTS defines)
  list(APPEND flags "-D${define}")
endforeach()
file(MAKE_DIRECTORY "${WORK}")

# Compiles `#include "<header>"` and leaves the compiler's exit code and error text.
function(probe header code_var errors_var)
  string(MAKE_C_IDENTIFIER "${header}" stem)
  set(source "${WORK}/${stem}.cpp")
  file(WRITE "${source}" "#include \"${header}\"\n")
  execute_process(COMMAND "${COMPILER}" ${flags} "${source}"
    RESULT_VARIABLE code ERROR_VARIABLE errors OUTPUT_QUIET)
  set(${code_var} "${code}" PARENT_SCOPE)
  set(${errors_var} "${errors}" PARENT_SCOPE)
endfunction()

set(failures "")
foreach(header IN LISTS seen)
  probe("${header}" code errors)
  if(NOT code EQUAL 0)
    string(APPEND failures "${header} should compile, but:\n${errors}\n")
  endif()
endforeach()
foreach(header IN LISTS hidden)
  probe("${header}" code errors)
  # The probe's own include must be the one not found (GCC's and Clang's words), not one that the
  # header, once found, includes in turn.
  string(FIND "${errors}" "${header}: No such file or directory" gcc_missing)
  string(FIND "${errors}" "'${header}' file not found" clang_missing)
  if(code EQUAL 0)
    string(APPEND failures "${header} should not be found, but it compiled\n")
  elseif(gcc_missing EQUAL -1 AND clang_missing EQUAL -1)
    string(APPEND failures "${header} failed for another reason than not being found:\n${errors}\n")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "include probe:\n${failures}")
endif()
list(LENGTH seen seen_count)
list(LENGTH hidden hidden_count)
message(STATUS "include probe: ${seen_count} header(s) seen, ${hidden_count} header(s) hidden as they should be")
