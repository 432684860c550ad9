#include "tools/player/PlayerMidi.h"

#include <rtmidi/RtMidi.h>

#include "tools/player/MidiNoteQueue.h"
#include "tools/player/PlayerEngine.h"

namespace {

// On RtMidi's thread: notes go on, everything else is dropped here.
void OnMidi(double, std::vector<unsigned char>* message, void* user)
{
  if (!message || message->size() < 3)
    return;
  const unsigned char kind = (*message)[0] & 0xF0;
  if (kind != 0x80 && kind != 0x90)
    return;
  MidiNote note;
  note.timeNs = PlayerClockNs();
  note.pitch = (*message)[1] & 0x7F;
  note.velocity = (*message)[2] & 0x7F;
  note.on = kind == 0x90 && note.velocity > 0;
  static_cast<MidiNoteQueue*>(user)->Push(note);
}

RtMidi::Api ApiOf(const std::string& system)
{
  return RtMidi::getCompiledApiByName(system);
}

}  // namespace

PlayerMidi::PlayerMidi() = default;

PlayerMidi::~PlayerMidi() { Close(); }

std::string PlayerMidi::SystemFor(const std::string& audioApi)
{
  std::vector<RtMidi::Api> apis;
  RtMidi::getCompiledApi(apis);
  for (RtMidi::Api api : apis)
    if (audioApi == "jack" && api == RtMidi::UNIX_JACK)
      return RtMidi::getApiName(api);
  for (RtMidi::Api api : apis)
    if (api != RtMidi::UNIX_JACK && api != RtMidi::RTMIDI_DUMMY)
      return RtMidi::getApiName(api);
  return std::string();
}

void PlayerMidi::List(const std::string& audioApi, std::FILE* out)
{
  const std::string system = SystemFor(audioApi);
  std::fprintf(out, "MIDI inputs (%s):", system.empty() ? "none" : system.c_str());
  try
  {
    RtMidiIn probe(ApiOf(system), "thrumwell");
    const unsigned int count = probe.getPortCount();
    std::fprintf(out, "%s\n", count == 0 ? " none" : "");
    for (unsigned int i = 0; i < count; ++i)
      std::fprintf(out, "  %u\t%s\n", i, probe.getPortName(i).c_str());
  }
  catch (const std::exception&)
  {
    std::fprintf(out, " not available\n");
  }
}

bool PlayerMidi::Open(PlayerEngine& engine, const std::string& audioApi, const std::string& wanted)
{
  Close();
  const std::string system = SystemFor(audioApi);
  std::vector<std::string> names;
  try
  {
    RtMidiIn probe(ApiOf(system), "thrumwell");
    for (unsigned int i = 0; i < probe.getPortCount(); ++i)
      names.push_back(probe.getPortName(i));
  }
  catch (const std::exception& e)
  {
    warnings.push_back("no MIDI input (" + system + "): " + e.what());
  }
  bool matched = false;
  for (unsigned int i = 0; i < names.size(); ++i)
  {
    if (!wanted.empty() && names[i].find(wanted) == std::string::npos)
      continue;
    matched = true;
    MidiNoteQueue* queue = engine.AddMidiSource();
    if (!queue)
    {
      warnings.push_back("too many MIDI inputs: \"" + names[i] + "\" and the rest are not opened");
      break;
    }
    try
    {
      auto input = std::make_unique<RtMidiIn>(ApiOf(system), "thrumwell");
      input->setCallback(OnMidi, queue);
      input->ignoreTypes(true, true, true);
      input->openPort(i, "thrumwell midi in");
      inputs.push_back(std::move(input));
      portNames.push_back(names[i]);
    }
    catch (const std::exception& e)
    {
      warnings.push_back("cannot open the MIDI input \"" + names[i] + "\": " + e.what());
    }
  }
  if (!wanted.empty() && !matched)
  {
    std::string list;
    for (const std::string& name : names)
      list += (list.empty() ? "\"" : ", \"") + name + "\"";
    error = "no MIDI input \"" + wanted + "\"; the inputs are " + (list.empty() ? std::string("none") : list);
    return false;
  }
  return true;
}

void PlayerMidi::Close()
{
  for (auto& input : inputs)
  {
    try
    {
      input->closePort();
    }
    catch (const std::exception&)
    {
    }
  }
  inputs.clear();
  portNames.clear();
}
