# Build helpers shared by every folder.
#
# The engine's layers (ZOR_FOLDERS in the top CMakeLists.txt) are kept by the
# compiler: each target of an engine folder compiles inside its layer root
# under <build>/zor-roots/, which holds that folder and the folders before
# it and nothing else (zor_fence_layers). Consumers outside the engine
# (tests, tools, fuzz targets, benchmarks, demo/) get the repository root
# from the engine libraries they link; engine targets do not.

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
# One static library per engine folder. Its include folder is its layer root,
# given by zor_fence_layers once every engine folder is added.
function(zor_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  zor_warnings(${name})
endfunction()

# zor_fence_layers(<folder>...): called by the top CMakeLists.txt with the
# engine folders it added, after the last. For each such folder F it makes
# the layer root ${PROJECT_BINARY_DIR}/zor-roots/F: a real directory for F
# and for every folder listed before it in ZOR_FOLDERS (subfolders too),
# each file a symlink to the source file. Every target defined under F then
# compiles its sources through their paths in the root and has the root as
# its only folder of the repository, so the folder of the including file
# ("../game/x.h") and the include path (<game/x.h>, "mode/../game/x.h")
# both end inside the root, where no higher folder exists. The engine
# targets are marked with the property ZOR_LAYER; the repository root stays
# in their interface for every consumer without it (tests, tools, fuzz
# targets, benchmarks, demo). -ffile-prefix-map turns the root's paths back
# into the source paths in debug information and __FILE__.
function(zor_fence_layers)
  set(src ${PROJECT_SOURCE_DIR})
  set(lower "")
  foreach(folder IN LISTS ZOR_FOLDERS)
    if(NOT IS_DIRECTORY ${src}/${folder})
      continue()
    endif()
    # A file added to a folder re-runs the configuration at the next build,
    # which puts it in the roots.
    file(GLOB_RECURSE files LIST_DIRECTORIES false CONFIGURE_DEPENDS RELATIVE ${src} ${src}/${folder}/*)
    list(APPEND lower ${files})
    if(NOT folder IN_LIST ARGN)
      continue()
    endif()
    set(root ${PROJECT_BINARY_DIR}/zor-roots/${folder})
    zor_sync_root(${root} ${lower})
    zor_directory_targets(${src}/${folder} targets)
    foreach(target IN LISTS targets)
      zor_fence_target(${target} ${folder} ${root})
    endforeach()
  endforeach()
endfunction()

# Makes root hold a symlink to each of the source files (paths from the
# repository root) in real directories, and nothing else. Links already
# right are left alone, so a configuration during a build takes no file
# from under a compiler.
function(zor_sync_root root)
  foreach(file IN LISTS ARGN)
    set("wanted:${file}" TRUE)
    get_filename_component(dir ${file} DIRECTORY)
    while(dir AND NOT DEFINED "wanted:${dir}")
      set("wanted:${dir}" TRUE)
      get_filename_component(dir ${dir} DIRECTORY)
    endwhile()
  endforeach()
  file(GLOB_RECURSE present LIST_DIRECTORIES true RELATIVE ${root} ${root}/*)
  foreach(entry IN LISTS present)
    if(NOT DEFINED "wanted:${entry}")
      file(REMOVE_RECURSE ${root}/${entry})
    endif()
  endforeach()
  foreach(file IN LISTS ARGN)
    if(NOT IS_SYMLINK ${root}/${file})
      get_filename_component(dir ${root}/${file} DIRECTORY)
      file(MAKE_DIRECTORY ${dir})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${file} ${root}/${file} SYMBOLIC)
    endif()
  endforeach()
endfunction()

# The targets defined in dir and its subdirectories.
function(zor_directory_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    zor_directory_targets(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Puts one engine target of folder inside its layer root (zor_fence_layers).
function(zor_fence_target target folder root)
  set(src ${PROJECT_SOURCE_DIR})
  get_target_property(type ${target} TYPE)
  get_target_property(where ${target} SOURCE_DIR)
  set(props INTERFACE_INCLUDE_DIRECTORIES)
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    list(APPEND props INCLUDE_DIRECTORIES)
  endif()
  # A folder of the source tree among its include folders would open the
  # layers again: the root is the only one.
  foreach(prop IN LISTS props)
    get_target_property(dirs ${target} ${prop})
    foreach(dir IN LISTS dirs)
      if(dir MATCHES "\\$<")
        continue()
      endif()
      cmake_path(IS_PREFIX src "${dir}" NORMALIZE in_source)
      cmake_path(IS_PREFIX PROJECT_BINARY_DIR "${dir}" NORMALIZE in_build)
      if(in_source AND NOT in_build)
        message(FATAL_ERROR "${where}/CMakeLists.txt: ${target} has the include folder ${dir}; "
          "an engine target sees only its layer root ${root}, which zor_fence_layers (cmake/zor.cmake) gives it")
      endif()
    endforeach()
  endforeach()
  set_property(TARGET ${target} PROPERTY ZOR_LAYER ${folder})
  set_property(TARGET ${target} APPEND PROPERTY INTERFACE_INCLUDE_DIRECTORIES
    "$<$<NOT:$<BOOL:$<TARGET_PROPERTY:ZOR_LAYER>>>:${src}>")
  if(type STREQUAL "INTERFACE_LIBRARY")
    return()
  endif()
  target_include_directories(${target} BEFORE PRIVATE ${root})
  target_compile_options(${target} PRIVATE -ffile-prefix-map=${root}/=${src}/)

  # Each source through its path in the root, with the properties set on it.
  get_target_property(sources ${target} SOURCES)
  set(rooted "")
  foreach(source IN LISTS sources)
    if(source MATCHES "^\\$<")
      list(APPEND rooted "${source}")
      continue()
    endif()
    if(IS_ABSOLUTE "${source}")
      set(path "${source}")
    else()
      set(path "${where}/${source}")
    endif()
    cmake_path(NORMAL_PATH path)
    cmake_path(IS_PREFIX src "${path}" NORMALIZE in_source)
    file(RELATIVE_PATH rel ${src} ${path})
    if(NOT in_source OR NOT rel MATCHES "^${folder}/")
      message(FATAL_ERROR "${where}/CMakeLists.txt: ${target} compiles ${path}, which is outside ${src}/${folder}; "
        "an engine target compiles only files of its own folder")
    endif()
    set(link ${root}/${rel})
    if(NOT EXISTS ${link})
      message(FATAL_ERROR "${where}/CMakeLists.txt: ${target} compiles ${path}, which is missing")
    endif()
    foreach(prop COMPILE_OPTIONS COMPILE_DEFINITIONS COMPILE_FLAGS INCLUDE_DIRECTORIES OBJECT_DEPENDS
                 HEADER_FILE_ONLY SKIP_PRECOMPILE_HEADERS SKIP_UNITY_BUILD_INCLUSION)
      get_source_file_property(value ${path} TARGET_DIRECTORY ${target} ${prop})
      if(NOT value STREQUAL "NOTFOUND")
        set_source_files_properties(${link} TARGET_DIRECTORY ${target} PROPERTIES ${prop} "${value}")
      endif()
    endforeach()
    list(APPEND rooted ${link})
  endforeach()
  set_property(TARGET ${target} PROPERTY SOURCES ${rooted})
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
