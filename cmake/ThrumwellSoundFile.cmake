# Provides the audio-file libraries as targets, when present:
#  - thrumwell_sndfile: libsndfile, which reads and writes WAV/RF64, FLAC, Ogg
#    Vorbis, Opus and MP3 (Debian's libsndfile1-dev); defines
#    THRUMWELL_HAVE_SNDFILE for the code that uses it.
#  - thrumwell_samplerate: libsamplerate (Debian's libsamplerate0-dev), which
#    brings input files to the session's rate.
# Windows: the static libraries tools/build-sndfile-mingw.sh cross-builds from
# Debian's sources (libsndfile with its codecs, libsamplerate), linked into
# the programs so that they load no DLL of their own.
# The renderer needs libsndfile (tools/render stops the configuration
# without it); the player and the plug-in do not.

include_guard(GLOBAL)

set(THRUMWELL_SNDFILE_FOUND FALSE)
if(WIN32)
  find_path(THRUMWELL_SNDFILE_INCLUDE sndfile.h)
  find_path(THRUMWELL_SAMPLERATE_INCLUDE samplerate.h)
  # libsndfile first, then its codecs in the order they use each other.
  set(sndfile_libraries "")
  foreach(name sndfile mp3lame mpg123 FLAC vorbisenc vorbis opus ogg samplerate)
    string(TOUPPER "${name}" upper)
    find_library(THRUMWELL_${upper}_LIBRARY NAMES lib${name}.a)
    if(NOT THRUMWELL_${upper}_LIBRARY)
      set(sndfile_libraries "")
      break()
    endif()
    if(NOT name STREQUAL "samplerate")
      list(APPEND sndfile_libraries "${THRUMWELL_${upper}_LIBRARY}")
    endif()
  endforeach()
  if(THRUMWELL_SNDFILE_INCLUDE AND THRUMWELL_SAMPLERATE_INCLUDE AND sndfile_libraries)
    set(THRUMWELL_SNDFILE_FOUND TRUE)
    add_library(thrumwell_sndfile INTERFACE)
    target_include_directories(thrumwell_sndfile SYSTEM INTERFACE ${THRUMWELL_SNDFILE_INCLUDE})
    target_link_libraries(thrumwell_sndfile INTERFACE ${sndfile_libraries})
    target_compile_definitions(thrumwell_sndfile INTERFACE THRUMWELL_HAVE_SNDFILE)
    add_library(thrumwell_samplerate INTERFACE)
    target_include_directories(thrumwell_samplerate SYSTEM INTERFACE ${THRUMWELL_SAMPLERATE_INCLUDE})
    target_link_libraries(thrumwell_samplerate INTERFACE ${THRUMWELL_SAMPLERATE_LIBRARY})
  endif()
else()
  find_package(PkgConfig QUIET)
  if(PKG_CONFIG_FOUND)
    pkg_check_modules(THRUMWELL_SNDFILE_PC QUIET IMPORTED_TARGET GLOBAL sndfile)
    if(THRUMWELL_SNDFILE_PC_FOUND)
      set(THRUMWELL_SNDFILE_FOUND TRUE)
      add_library(thrumwell_sndfile INTERFACE)
      target_link_libraries(thrumwell_sndfile INTERFACE PkgConfig::THRUMWELL_SNDFILE_PC)
      target_compile_definitions(thrumwell_sndfile INTERFACE THRUMWELL_HAVE_SNDFILE)
    endif()
    pkg_check_modules(THRUMWELL_SAMPLERATE_PC QUIET IMPORTED_TARGET GLOBAL samplerate)
    if(THRUMWELL_SAMPLERATE_PC_FOUND)
      add_library(thrumwell_samplerate INTERFACE)
      target_link_libraries(thrumwell_samplerate INTERFACE PkgConfig::THRUMWELL_SAMPLERATE_PC)
    endif()
  endif()
endif()
if(NOT THRUMWELL_SNDFILE_FOUND)
  message(STATUS "libsndfile not found (tools/install-deps.sh installs it)")
endif()
