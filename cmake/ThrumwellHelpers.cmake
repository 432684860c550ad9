# Shared build settings and the small helpers every folder uses to declare
# libraries, tests, benchmarks and fuzz targets in one consistent way.

include_guard(GLOBAL)

# Rebuilds of unchanged sources come from ccache when it is installed (it is
# one of the dependencies); THRUMWELL_CCACHE=OFF turns it off.
option(THRUMWELL_CCACHE "Compile through ccache when it is found" ON)
find_program(THRUMWELL_CCACHE_PROGRAM ccache)
if(THRUMWELL_CCACHE AND THRUMWELL_CCACHE_PROGRAM AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_C_COMPILER_LAUNCHER ${THRUMWELL_CCACHE_PROGRAM})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${THRUMWELL_CCACHE_PROGRAM})
endif()

# Warnings stay on and the build stays warning-free in every preset.
add_compile_options(-Wall -Wextra)

if(THRUMWELL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# ThreadSanitizer: the tests where a host's threads meet the plug-in run
# under it (the linux-tsan preset).
if(THRUMWELL_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(THRUMWELL_FUZZ)
  # Libraries are instrumented for coverage; only fuzz targets link the driver.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fsanitize-coverage-ignorelist=${CMAKE_SOURCE_DIR}/tests/fuzz/coverage-ignorelist.txt)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # Windows artefacts must run without extra DLLs beside them.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE)
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# Adds a folder only when it has a CMakeLists.txt, so the tree builds while
# parts of it are still being written.
# THRUMWELL_ONLY (a list of folder names, e.g. "plug;synth;render") limits a
# build tree to some areas while others are being worked on; the umbrella
# folders tests, bench and tools are always entered.
set(THRUMWELL_ONLY "" CACHE STRING "Build only these areas (empty: all)")
function(thrumwell_optional_subdirectory dir)
  if(THRUMWELL_ONLY AND NOT dir IN_LIST THRUMWELL_ONLY AND NOT dir MATCHES "^(tests|bench|tools)$")
    return()
  endif()
  if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt")
    add_subdirectory(${dir})
  endif()
endfunction()

# thrumwell_add_gtest(NAME [WINDOWS] SOURCES a.cpp ... LIBS lib ... [ENV VAR=VALUE ...])
# One GoogleTest executable, registered with CTest as one test. Under the
# Windows cross build CTest runs it through the Wine emulator. WINDOWS: the
# test puts windows on the shared screen; such tests run one at a time, since
# real input goes to whichever window lies under the pointer.
function(thrumwell_add_gtest name)
  if(NOT THRUMWELL_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "WINDOWS" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  # A hung test (a Windows program waiting on Wine, say) fails after five
  # minutes instead of holding the whole run.
  set_tests_properties(${name} PROPERTIES TIMEOUT 300
    ENVIRONMENT "THRUMWELL_SOURCE_DIR=${PROJECT_SOURCE_DIR};THRUMWELL_BINARY_DIR=${PROJECT_BINARY_DIR};${ARG_ENV}")
  if(ARG_WINDOWS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK screen)
  endif()
endfunction()

# thrumwell_add_bench(NAME SOURCES a.cpp ... LIBS lib ...)
# Google Benchmark executables, native builds only; never run by CTest.
function(thrumwell_add_bench name)
  if(NOT THRUMWELL_BENCH OR CMAKE_CROSSCOMPILING OR THRUMWELL_FUZZ)
    return()
  endif()
  find_package(benchmark QUIET)
  if(NOT benchmark_FOUND)
    message(STATUS "Google Benchmark not found: ${name} skipped")
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# thrumwell_add_fuzzer(NAME SOURCES a.cpp ... LIBS lib ... CORPUS dir [RUNS n])
# The target defines LLVMFuzzerTestOneInput. In the fuzz preset it is a real
# libFuzzer binary and CTest runs it briefly from the corpus; in every other
# build it links a replay driver and CTest replays the committed corpus, so
# each corpus file stays a regression test everywhere.
function(thrumwell_add_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS;RUNS" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_RUNS)
    set(ARG_RUNS 20000)
  endif()
  if(THRUMWELL_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    # New inputs go to a scratch folder in the build tree, never into the
    # committed corpus, which libFuzzer only reads.
    set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}_work)
    file(MAKE_DIRECTORY ${work})
    add_test(NAME ${name} COMMAND ${name} -runs=${ARG_RUNS} -max_len=65536 ${work} ${ARG_CORPUS})
    # Where tools/fuzz-campaign.sh finds the target's binary and corpus.
    file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/fuzz-targets/${name}
      CONTENT "$<TARGET_FILE:${name}>\n${ARG_CORPUS}\n")
  elseif(THRUMWELL_TESTS)
    add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz_replay_main.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    add_test(NAME ${name}_corpus COMMAND ${name} ${ARG_CORPUS})
  endif()
endfunction()
