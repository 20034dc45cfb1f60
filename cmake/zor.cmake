# Build helpers shared by every folder.

# Pixel results must not depend on the compiler's choice to fuse multiply-adds.
add_compile_options(-ffp-contract=off)

if(ZOR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(ZOR_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
  add_custom_target(fuzzers)
endif()
if(ZOR_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

function(zor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(ZOR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# zor_library(<name> SOURCES ... [DEPS ...] [PRIVATE_DEPS ...])
# One static library per engine folder; the repository root is the include root.
function(zor_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  zor_warnings(${name})
endfunction()

# zor_test(<name> SOURCES ... [DEPS ...])
# A GoogleTest binary whose cases CTest lists one by one, plus one entry
# "whole.<name>" (label "whole") that runs the binary whole in one process,
# where state left behind by one case meets the next. There the allocator
# fills new memory with a non-zero byte, so a read of memory nobody wrote
# changes a result instead of passing on fresh zeros.
function(zor_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    ZOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}" ZOR_BINARY_DIR="${PROJECT_BINARY_DIR}")
  zor_warnings(${name})
  set(env "ZOR_TEST_TMP=${PROJECT_BINARY_DIR}/test-tmp")
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ENVIRONMENT "${env}")
  add_test(NAME whole.${name} COMMAND ${name})
  # A whole run is the longest entry of its binary: a high cost starts it
  # first, so a parallel run does not end waiting for it.
  set_tests_properties(whole.${name} PROPERTIES LABELS whole COST 1000
    ENVIRONMENT "${env};MALLOC_PERTURB_=165"
    ENVIRONMENT_MODIFICATION "ASAN_OPTIONS=string_append::max_malloc_fill_size=2147483647")
endfunction()

# zor_xvfb_test(<test name> <test binary> <gtest filter> [XDOTOOL]): runs
# the binary's cases matching the filter on a virtual display (xvfb-run;
# with XDOTOOL also xdotool, to answer windows). Where they are missing the
# entry reports itself skipped. X and D-Bus client libraries keep
# allocations to the end of the process, so leak checking is off there.
function(zor_xvfb_test name binary filter)
  cmake_parse_arguments(ARG "XDOTOOL" "" "" ${ARGN})
  find_program(ZOR_XVFB_RUN xvfb-run)
  set(ready ${ZOR_XVFB_RUN})
  set(needs "xvfb-run")
  if(ARG_XDOTOOL)
    find_program(ZOR_XDOTOOL xdotool)
    if(NOT ZOR_XDOTOOL)
      set(ready "")
    endif()
    set(needs "xvfb-run or xdotool")
  endif()
  if(ready)
    add_test(NAME ${name}
      COMMAND ${ZOR_XVFB_RUN} -a env ZOR_XVFB=1 ASAN_OPTIONS=detect_leaks=0
        $<TARGET_FILE:${binary}> --gtest_filter=${filter})
  else()
    add_test(NAME ${name} COMMAND sh -c "echo ${needs} is missing; exit 77")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT 60 SKIP_RETURN_CODE 77)
endfunction()

# zor_tool(<name> SOURCES ... [DEPS ...])
function(zor_tool name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  zor_warnings(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
endfunction()

# zor_fuzz_seeds(<name> SOURCES ... [DEPS ...] DIRS dir... [ARGS ...] [INPUTS file...])
# A small program that writes seed corpora at build time, run as
# "<program> <dirs> <args>", so no binary seed is kept in the repository.
# <name> becomes the target that the fuzz targets wait for (SEEDS <name>).
function(zor_fuzz_seeds name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;DIRS;ARGS;INPUTS" ${ARGN})
  add_executable(${name}_writer ${ARG_SOURCES})
  target_link_libraries(${name}_writer PRIVATE ${ARG_DEPS})
  target_include_directories(${name}_writer PRIVATE ${PROJECT_SOURCE_DIR})
  zor_warnings(${name}_writer)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ARG_DIRS}
    COMMAND ${name}_writer ${ARG_DIRS} ${ARG_ARGS}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${name}_writer ${ARG_INPUTS}
    COMMENT "fuzz: writing the seeds of ${name}")
  add_custom_target(${name} DEPENDS ${stamp})
endfunction()

# zor_fuzz(<name> SOURCES ... [DEPS ...] [CORPUS dir] [SEEDS target])
# A libFuzzer target; CTest runs it briefly over its seed corpus.
function(zor_fuzz name)
  cmake_parse_arguments(ARG "" "CORPUS;SEEDS" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  if(ARG_SEEDS)
    add_dependencies(${name} ${ARG_SEEDS})
  endif()
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  zor_warnings(${name})
  add_dependencies(fuzzers ${name})
  set(work ${PROJECT_BINARY_DIR}/fuzz-work/${name})
  set(seconds $ENV{ZOR_FUZZ_SECONDS})
  if(NOT seconds)
    set(seconds 15)
  endif()
  set(corpus_args "")
  if(ARG_CORPUS)
    set(corpus_args ${ARG_CORPUS})
  endif()
  add_test(NAME fuzz.${name}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
      $<TARGET_FILE:${name}> -max_total_time=${seconds} -rss_limit_mb=2048 -timeout=30
      -print_final_stats=1 ${work}/corpus ${corpus_args})
  file(MAKE_DIRECTORY ${work}/corpus)
  set_tests_properties(fuzz.${name} PROPERTIES WORKING_DIRECTORY ${work} TIMEOUT 300)
endfunction()

# zor_bench(<name> SOURCES ... [DEPS ...])
# A Google Benchmark binary whose main (bench/support/bench_main.cpp) exits
# with 1 when a benchmark reports an error. In an optimised build CTest runs
# it once, each benchmark for the shortest time (entry "bench.<name>",
# label "bench"), so a benchmark whose set-up fails fails the suite.
function(zor_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/bench/support/bench_main.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  zor_warnings(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
  if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
    add_test(NAME bench.${name} COMMAND ${name} --benchmark_min_time=0)
    set_tests_properties(bench.${name} PROPERTIES LABELS bench)
  endif()
endfunction()

# selected is true unless ZOR_ONLY names folders and none is a prefix of name.
function(zor_selected name out)
  set(result TRUE)
  # Shared test support is always built.
  if(ZOR_ONLY AND NOT name STREQUAL "support")
    set(result FALSE)
    foreach(prefix IN LISTS ZOR_ONLY)
      string(FIND "${name}" "${prefix}" pos)
      if(pos EQUAL 0)
        set(result TRUE)
      endif()
    endforeach()
  endif()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# Adds every subfolder of the current folder that has a CMakeLists.txt.
function(zor_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    zor_selected(${child} selected)
    if(selected AND IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
