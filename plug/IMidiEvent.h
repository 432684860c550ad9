#pragma once

#include <cstdint>

// One MIDI message: sample offset within the current block, status byte and
// two data bytes.
struct IMidiEvent
{
  enum Kind
  {
    kNone = 0,
    kNoteOff = 0x8,
    kNoteOn = 0x9,
    kPolyAftertouch = 0xA,
    kControlChange = 0xB,
    kProgramChange = 0xC,
    kChannelAftertouch = 0xD,
    kPitchWheel = 0xE
  };

  std::int32_t offset = 0;
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;

  // The status byte's upper four bits when they name a channel message
  // (0x8 to 0xE), else kNone.
  int GetKind() const;
  // data1 for note off, note on and polyphonic aftertouch, else -1.
  int NoteNumber() const;
  // data2 for note off and note on, else -1.
  int Velocity() const;

  // Only the low bits that fit are kept: note and velocity 0..127, channel 0..15.
  void MakeNoteOnMsg(int note, int velocity, int offset, int channel = 0);
  void MakeNoteOffMsg(int note, int offset, int channel = 0);
};
