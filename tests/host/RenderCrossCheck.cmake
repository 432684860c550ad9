# Renders the same two seconds of several programs with the Windows renderer
# and module (under Wine) and with the Linux ones, and requires every sample
# of the two outputs to agree within 1e-9. Runs on the Linux side as a CTest
# script of the Windows build tree; brings the Linux tree's renderer up to
# date first, and reports SKIPPED when there is no Linux tree to build in.
#
#   cmake -DWINDOWS_RENDER=... -DWINE_RUN=... -DLINUX_BUILD=... -DSOURCE_DIR=... -DWORK=... -P RenderCrossCheck.cmake

set(linux_render "${LINUX_BUILD}/tools/render/thrumwell-render")
set(linux_diff "${LINUX_BUILD}/tools/render/thrumwell-wavdiff")

if(NOT EXISTS "${LINUX_BUILD}/CMakeCache.txt")
  if(LINUX_BUILD STREQUAL "${SOURCE_DIR}/build/linux")
    execute_process(COMMAND "${CMAKE_COMMAND}" --preset linux WORKING_DIRECTORY "${SOURCE_DIR}"
                    RESULT_VARIABLE configured OUTPUT_QUIET)
  else()
    set(configured 1)
  endif()
  if(NOT configured EQUAL 0)
    message("SKIPPED: no Linux build tree at ${LINUX_BUILD}")
    return()
  endif()
endif()
# Brings the Linux renderer up to date with these sources (quick when it is).
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${LINUX_BUILD}" --target thrumwell-render thrumwell-wavdiff
                RESULT_VARIABLE built OUTPUT_QUIET)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "building the Linux renderer in ${LINUX_BUILD} failed")
endif()

file(MAKE_DIRECTORY "${WORK}")
# Generator programs of each family, and a played note in Synthesizer mode.
# Each case's arguments are separated by "|".
set(cases
  "--program|1"
  "--program|5"
  "--program|83"
  "--program|116"
  "--program|8|--note|57:100@0.25+1")
set(index 0)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" case_args "${case}")
  set(render_args ${case_args} --seconds 2 --rate 44100 --block 333 --sample-size 64 --position 12345)
  execute_process(COMMAND "${WINE_RUN}" "${WINDOWS_RENDER}" -o "win-${index}.wav" ${render_args}
                  WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE windows_result ERROR_VARIABLE windows_errors)
  execute_process(COMMAND "${linux_render}" -o "linux-${index}.wav" ${render_args}
                  WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE linux_result ERROR_VARIABLE linux_errors)
  if(NOT windows_result EQUAL 0 OR NOT linux_result EQUAL 0)
    message(FATAL_ERROR "rendering ${case} failed: Windows ${windows_result} ${windows_errors}, "
                        "Linux ${linux_result} ${linux_errors}")
  endif()
  execute_process(COMMAND "${linux_diff}" "linux-${index}.wav" "win-${index}.wav" 1e-9
                  WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE same OUTPUT_VARIABLE report)
  message("${case}: ${report}")
  if(NOT same EQUAL 0)
    message(FATAL_ERROR "the Windows and Linux modules disagree on ${case}")
  endif()
  math(EXPR index "${index} + 1")
endforeach()
