# Provides the audio-file libraries as targets, when present:
#  - thrumwell_sndfile: libsndfile, which reads and writes WAV/RF64, FLAC, Ogg
#    Vorbis, Opus and MP3 (Debian's libsndfile1-dev); defines
#    THRUMWELL_HAVE_SNDFILE for the code that uses it.
#  - thrumwell_samplerate: libsamplerate (Debian's libsamplerate0-dev), which
#    brings input files to the session's rate.
# Without libsndfile (no thrumwell_sndfile target) the renderer
# writes WAV only, with its own writer (the Windows build until its
# cross-built libsndfile is in place).

include_guard(GLOBAL)

set(THRUMWELL_SNDFILE_FOUND FALSE)
if(NOT WIN32)
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
  message(STATUS "libsndfile not found: the renderer writes WAV only (tools/install-deps.sh installs it)")
endif()
