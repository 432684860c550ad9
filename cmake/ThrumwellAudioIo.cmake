# Provides the player's third-party libraries as targets, when present:
#  - thrumwell_rtaudio, thrumwell_rtmidi: audio out and MIDI in. Linux: Debian's
#    librtaudio-dev and librtmidi-dev (ALSA, PulseAudio, JACK). Windows: the
#    static libraries tools/build-rtaudio-mingw.sh cross-builds from Debian's
#    source packages (WASAPI, DirectSound, WinMM).
#  - thrumwell_jack: libjack, for the tests' JACK client (Linux only).
# THRUMWELL_AUDIO_IO_FOUND is false when one of the first two is missing. The
# command line comes from tools/cli (thrumwell_cli), as for every tool.

include_guard(GLOBAL)

find_path(THRUMWELL_RTAUDIO_INCLUDE rtaudio/RtAudio.h)
find_path(THRUMWELL_RTMIDI_INCLUDE rtmidi/RtMidi.h)
if(WIN32)
  set(saved_suffixes ${CMAKE_FIND_LIBRARY_SUFFIXES})
  set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
endif()
find_library(THRUMWELL_RTAUDIO_LIBRARY rtaudio)
find_library(THRUMWELL_RTMIDI_LIBRARY rtmidi)
if(WIN32)
  set(CMAKE_FIND_LIBRARY_SUFFIXES ${saved_suffixes})
endif()

set(THRUMWELL_AUDIO_IO_FOUND FALSE)
if(THRUMWELL_RTAUDIO_INCLUDE AND THRUMWELL_RTMIDI_INCLUDE AND THRUMWELL_RTAUDIO_LIBRARY AND THRUMWELL_RTMIDI_LIBRARY)
  set(THRUMWELL_AUDIO_IO_FOUND TRUE)
  add_library(thrumwell_rtaudio INTERFACE)
  target_include_directories(thrumwell_rtaudio SYSTEM INTERFACE ${THRUMWELL_RTAUDIO_INCLUDE})
  target_link_libraries(thrumwell_rtaudio INTERFACE ${THRUMWELL_RTAUDIO_LIBRARY})
  add_library(thrumwell_rtmidi INTERFACE)
  target_include_directories(thrumwell_rtmidi SYSTEM INTERFACE ${THRUMWELL_RTMIDI_INCLUDE})
  target_link_libraries(thrumwell_rtmidi INTERFACE ${THRUMWELL_RTMIDI_LIBRARY})
  if(WIN32)
    target_compile_definitions(thrumwell_rtaudio INTERFACE __WINDOWS_WASAPI__ __WINDOWS_DS__)
    target_link_libraries(thrumwell_rtaudio INTERFACE ole32 winmm ksuser mfplat mfuuid wmcodecdspuuid dsound uuid)
    target_compile_definitions(thrumwell_rtmidi INTERFACE __WINDOWS_MM__)
    target_link_libraries(thrumwell_rtmidi INTERFACE winmm)
  endif()
else()
  message(STATUS "RtAudio or RtMidi not found: the player is skipped (tools/install-deps.sh installs them)")
endif()

if(NOT WIN32)
  find_path(THRUMWELL_JACK_INCLUDE jack/jack.h)
  find_library(THRUMWELL_JACK_LIBRARY jack)
  if(THRUMWELL_JACK_INCLUDE AND THRUMWELL_JACK_LIBRARY)
    add_library(thrumwell_jack INTERFACE)
    target_include_directories(thrumwell_jack SYSTEM INTERFACE ${THRUMWELL_JACK_INCLUDE})
    target_link_libraries(thrumwell_jack INTERFACE ${THRUMWELL_JACK_LIBRARY})
  endif()
endif()
