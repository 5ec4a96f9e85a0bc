# Helpers for the tests: Windows test programs run under Wine through scripts/wine-run.sh, each in the
# build's own sandbox (WINEPREFIX and HOME inside the build folder).

set(MARIGOLD_WINE_ROOT "${CMAKE_BINARY_DIR}/wine" CACHE INTERNAL "")
set(MARIGOLD_WINE_RUN "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh" CACHE INTERNAL "")
# Every prefix the tests make is a copy of one made once per kind of Windows (32- or 64-bit).
set(MARIGOLD_WINE_BASE "${CMAKE_BINARY_DIR}/wine-base" CACHE INTERNAL "")
set(CMAKE_CROSSCOMPILING_EMULATOR "${MARIGOLD_WINE_RUN};--root;${MARIGOLD_WINE_ROOT};--arch;${MARIGOLD_ARCH};--")
# The checkers (pefile and friends) come from Debian's packages, so prefer the system interpreter.
if(EXISTS /usr/bin/python3 AND NOT Python3_EXECUTABLE)
  set(Python3_EXECUTABLE /usr/bin/python3)
endif()
find_package(Python3 COMPONENTS Interpreter REQUIRED)
# The test scripts import the shared modules (scripts/: the product's names and the Wine layer; tests/:
# the checks and the end-to-end machine) from wherever they are.
set(MARIGOLD_PYTHON ${CMAKE_COMMAND} -E env "PYTHONPATH=${CMAKE_SOURCE_DIR}/scripts:${CMAKE_SOURCE_DIR}/tests"
    ${Python3_EXECUTABLE})

# Every shipped executable, and every test executable where the tests run it, is checked with an
# independent PE reader (tests/pe_check.py).
#   marigold_check_executable(target GUI|CONSOLE [setup|saver])
# A product (what ships) is held to more: see tests/pe_check.py.
function(marigold_check_executable target subsystem)
  set(product "${ARGN}")
  if(product OR MARIGOLD_WINE_TESTS)
    set_property(GLOBAL APPEND PROPERTY MARIGOLD_CHECKED_EXECUTABLES "${target}:${subsystem}:${product}")
  endif()
endfunction()

# A doctest program that runs under Wine.
#   marigold_test_program(target SOURCES a.cpp b.rc ... [LIBS lib ...])
function(marigold_test_program target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE marigold_doctest_main ${ARG_LIBS})
  marigold_check_executable(${target} CONSOLE)
endfunction()

# Registers one ctest test per TEST_CASE("name") found in the program's sources, so that every case
# is reported on its own. Case names must not contain commas (doctest filter syntax). RUN_SERIAL: the
# cases change what every other test in the shared prefix may look at (system.ini, say).
#   marigold_add_cases(target [SOURCES files...] [FILE_LIMIT kb] [EXCLUDE regex] [ONLY regex] [RUN_SERIAL])
function(marigold_add_cases target)
  cmake_parse_arguments(ARG "RUN_SERIAL" "FILE_LIMIT;EXCLUDE;ONLY" "SOURCES" ${ARGN})
  if(NOT MARIGOLD_WINE_TESTS)
    return()
  endif()
  if(NOT ARG_SOURCES)
    get_target_property(ARG_SOURCES ${target} SOURCES)
  endif()
  get_target_property(src_dir ${target} SOURCE_DIR)
  set(limit_args)
  if(ARG_FILE_LIMIT)
    set(limit_args --file-limit ${ARG_FILE_LIMIT})
  endif()
  foreach(src IN LISTS ARG_SOURCES)
    if(NOT src MATCHES "\\.(cpp|cc)$")
      continue()
    endif()
    if(NOT IS_ABSOLUTE "${src}")
      set(src "${src_dir}/${src}")
    endif()
    file(STRINGS "${src}" lines REGEX "^[ \t]*TEST_CASE[ \t]*\\(\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*TEST_CASE[ \t]*\\(\"(([^\"\\\\]|\\\\.)*)\".*$" "\\1" name "${line}")
      if(ARG_EXCLUDE AND name MATCHES "${ARG_EXCLUDE}")
        continue()
      endif()
      if(ARG_ONLY AND NOT name MATCHES "${ARG_ONLY}")
        continue()
      endif()
      if(name MATCHES ",")
        message(FATAL_ERROR "${src}: test case names may not contain commas: ${name}")
      endif()
      # Wildcards in doctest filters: escape nothing, but keep * and ? out of names.
      add_test(NAME "${target}: ${name}"
               COMMAND ${MARIGOLD_WINE_RUN} --root ${MARIGOLD_WINE_ROOT} --arch ${MARIGOLD_ARCH} ${limit_args} --detach-output
                       -- $<TARGET_FILE:${target}> "--test-case=${name}" --no-version --duration=false)
      set_tests_properties("${target}: ${name}" PROPERTIES
        FIXTURES_REQUIRED wine
        LABELS wine
        # Wine's own errors are kept, so that a case that dies without a word still says why.
        ENVIRONMENT "WINEDEBUG=-all,err+all;MARIGOLD_WINE_BASE=${MARIGOLD_WINE_BASE}"
        # A filter that matches nothing would pass silently.
        FAIL_REGULAR_EXPRESSION "test cases: *0 *\\|"
        RUN_SERIAL ${ARG_RUN_SERIAL})
    endforeach()
  endforeach()
endfunction()

# Any other command run with the Wine sandbox ready (end-to-end scripts and the like).
#   marigold_add_wine_test(NAME name COMMAND cmd... [TIMEOUT s] [RUN_SERIAL] [COST n])
# A long test is given a COST, so that ctest starts it first.
function(marigold_add_wine_test)
  cmake_parse_arguments(ARG "RUN_SERIAL" "NAME;TIMEOUT;COST" "COMMAND" ${ARGN})
  if(NOT MARIGOLD_WINE_TESTS)
    return()
  endif()
  add_test(NAME ${ARG_NAME} COMMAND ${ARG_COMMAND})
  set_tests_properties(${ARG_NAME} PROPERTIES
    FIXTURES_REQUIRED wine
    LABELS wine
    ENVIRONMENT "MARIGOLD_WINE_BASE=${MARIGOLD_WINE_BASE};MARIGOLD_WINE_ROOT=${MARIGOLD_WINE_ROOT};MARIGOLD_WINE_ARCH=${MARIGOLD_ARCH};MARIGOLD_WINE_RUN=${MARIGOLD_WINE_RUN};MARIGOLD_BUILD_DIR=${CMAKE_BINARY_DIR};MARIGOLD_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  if(ARG_TIMEOUT)
    set_tests_properties(${ARG_NAME} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  endif()
  if(ARG_RUN_SERIAL)
    set_tests_properties(${ARG_NAME} PROPERTIES RUN_SERIAL TRUE)
  endif()
  if(ARG_COST)
    set_tests_properties(${ARG_NAME} PROPERTIES COST ${ARG_COST})
  endif()
endfunction()

# An end-to-end script's scenarios: the template prefix (fixture FIXTURE) is made first, and each
# scenario runs on a fresh copy of it.
#   marigold_add_e2e_scenarios(LABEL label FIXTURE name COMMAND cmd... SCENARIOS name...)
function(marigold_add_e2e_scenarios)
  cmake_parse_arguments(ARG "" "LABEL;FIXTURE" "COMMAND;SCENARIOS" ${ARGN})
  marigold_add_wine_test(NAME "${ARG_LABEL}: template" COMMAND ${ARG_COMMAND} --scenario template TIMEOUT 600)
  set_tests_properties("${ARG_LABEL}: template" PROPERTIES FIXTURES_SETUP ${ARG_FIXTURE})
  foreach(scenario ${ARG_SCENARIOS})
    marigold_add_wine_test(NAME "${ARG_LABEL}: ${scenario}" COMMAND ${ARG_COMMAND} --scenario ${scenario} TIMEOUT 300)
    set_tests_properties("${ARG_LABEL}: ${scenario}" PROPERTIES FIXTURES_REQUIRED "wine;${ARG_FIXTURE}")
  endforeach()
endfunction()
