# Provides the target thrumwell_png: libpng with zlib, as each build needs it.
#  - Linux: Debian's libpng-dev and zlib1g-dev.
#  - Windows: the static libpng that tools/build-libpng-mingw.sh cross-builds
#    from Debian's source package, and Debian's static MinGW zlib, so that no
#    DLL has to sit beside the module or the test programs.
#  - Fuzz builds: the same Debian libpng source compiled here with the fuzz
#    instrumentation, so that the fuzzer sees libpng's branches and the
#    sanitizers check every write libpng makes into our bitmaps. Without that
#    source the system library is used.

include_guard(GLOBAL)

set(THRUMWELL_LIBPNG_SOURCE "" CACHE PATH "Debian libpng source tree for instrumented fuzz builds (empty: look in the cross-build cache)")

add_library(thrumwell_png INTERFACE)

set(png_source "${THRUMWELL_LIBPNG_SOURCE}")
if(THRUMWELL_FUZZ AND NOT png_source)
  file(GLOB png_candidates LIST_DIRECTORIES true "/opt/thrumwell-mingw64/src/libpng1.6-*")
  if(png_candidates)
    list(SORT png_candidates)
    list(GET png_candidates -1 png_source)
  endif()
endif()

# Windows: static archives only (MinGW zlib also ships an import library).
if(WIN32)
  set(saved_suffixes ${CMAKE_FIND_LIBRARY_SUFFIXES})
  set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
endif()
find_package(ZLIB REQUIRED)

if(THRUMWELL_FUZZ AND png_source AND EXISTS "${png_source}/png.c")
  message(STATUS "libpng: instrumented build from ${png_source}")
  set(png_config_dir "${CMAKE_BINARY_DIR}/thrumwell-libpng")
  configure_file("${png_source}/scripts/pnglibconf.h.prebuilt" "${png_config_dir}/pnglibconf.h" COPYONLY)
  set(png_files)
  foreach(f png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil
            pngset pngtrans pngwio pngwrite pngwtran pngwutil)
    list(APPEND png_files "${png_source}/${f}.c")
  endforeach()
  add_library(thrumwell_libpng_instrumented STATIC ${png_files})
  # Third-party code: its own warnings are not ours to fix.
  target_compile_options(thrumwell_libpng_instrumented PRIVATE -w)
  target_include_directories(thrumwell_libpng_instrumented PUBLIC "${png_config_dir}" "${png_source}")
  target_link_libraries(thrumwell_libpng_instrumented PUBLIC ZLIB::ZLIB)
  target_link_libraries(thrumwell_png INTERFACE thrumwell_libpng_instrumented)
else()
  find_package(PNG REQUIRED)
  target_link_libraries(thrumwell_png INTERFACE PNG::PNG ZLIB::ZLIB)
endif()

if(WIN32)
  set(CMAKE_FIND_LIBRARY_SUFFIXES ${saved_suffixes})
endif()
