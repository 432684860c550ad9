#include "plug/IMidiEvent.h"

int IMidiEvent::GetKind() const
{
  const int k = status >> 4;
  return k >= kNoteOff && k <= kPitchWheel ? k : kNone;
}

int IMidiEvent::NoteNumber() const
{
  switch (GetKind())
  {
    case kNoteOff:
    case kNoteOn:
    case kPolyAftertouch:
      return data1;
    default:
      return -1;
  }
}

int IMidiEvent::Velocity() const
{
  switch (GetKind())
  {
    case kNoteOff:
    case kNoteOn:
      return data2;
    default:
      return -1;
  }
}

void IMidiEvent::MakeNoteOnMsg(int note, int velocity, int sampleOffset, int channel)
{
  status = static_cast<std::uint8_t>(0x90 | (channel & 0x0F));
  data1 = static_cast<std::uint8_t>(note & 0x7F);
  data2 = static_cast<std::uint8_t>(velocity & 0x7F);
  offset = sampleOffset;
}

void IMidiEvent::MakeNoteOffMsg(int note, int sampleOffset, int channel)
{
  status = static_cast<std::uint8_t>(0x80 | (channel & 0x0F));
  data1 = static_cast<std::uint8_t>(note & 0x7F);
  data2 = 0;
  offset = sampleOffset;
}
