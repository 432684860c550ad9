# The one version of Thrumwell, from project(VERSION MAJOR.MINOR[.PATCH]),
# in the forms its parts need: THRUMWELL_VERSION ("2.30", the packages and
# tools), THRUMWELL_VERSION_WORD (the plug-in's version word) and
# THRUMWELL_CLASS_VERSION ("2.30.0", the factory and moduleinfo.json), and a
# header with all three: #include "cmake/ThrumwellVersion.h".
include_guard(GLOBAL)

set(major "${PROJECT_VERSION_MAJOR}")
set(minor "${PROJECT_VERSION_MINOR}")
set(patch "${PROJECT_VERSION_PATCH}")
if("${patch}" STREQUAL "")
  set(patch 0)
endif()
if("${minor}" STREQUAL "" OR minor GREATER 255 OR patch GREATER 255 OR major GREATER 32767)
  message(FATAL_ERROR "project VERSION ${PROJECT_VERSION}: expected MAJOR.MINOR[.PATCH], minor and patch below 256")
endif()

set(THRUMWELL_VERSION "${major}.${minor}")
if(NOT patch EQUAL 0)
  string(APPEND THRUMWELL_VERSION ".${patch}")
endif()
math(EXPR THRUMWELL_VERSION_WORD "(${major} << 16) | (${minor} << 8) | ${patch}" OUTPUT_FORMAT HEXADECIMAL)
set(THRUMWELL_CLASS_VERSION "${major}.${minor}.${patch}")

configure_file("${CMAKE_CURRENT_LIST_DIR}/ThrumwellVersion.h.in"
               "${PROJECT_BINARY_DIR}/generated/cmake/ThrumwellVersion.h" @ONLY)
include_directories("${PROJECT_BINARY_DIR}/generated")
unset(major)
unset(minor)
unset(patch)
