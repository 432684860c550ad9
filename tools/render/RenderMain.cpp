// thrumwell-render: renders the instrument to a stereo WAV file of 32-bit
// floats, setting it up and driving it the way a host does.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "synth/CLS_THRUMWELL.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/StderrTerminal.h"
#include "tools/render/WavWriter.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The instrument with a host transport that plays from a start position and
// advances by each block's length.
class RenderedThrumwell : public CLS_THRUMWELL
{
public:
  std::int64_t transportPosition = 0;

  int GetTransportState() override { return 1; }
  // The low 32 bits of the position, as a host's project time is reported.
  int GetSamplePosition() override { return static_cast<int>(static_cast<std::uint32_t>(transportPosition)); }
};

struct TimedEvent
{
  std::uint64_t frame;
  IMidiEvent event;
};

int Refuse(const std::string& message)
{
  std::fprintf(stderr, "thrumwell-render: %s\n", message.c_str());
  return kExitUsage;
}

int FindProgram(const IPlugBase& plug, const std::string& wanted)
{
  const bool numeric = !wanted.empty() && wanted.find_first_not_of("0123456789") == std::string::npos;
  if (numeric)
  {
    const long number = wanted.size() <= 4 ? std::strtol(wanted.c_str(), nullptr, 10) : -1;
    return number >= 0 && number < plug.NPrograms() ? static_cast<int>(number) : -1;
  }
  for (int i = 0; i < plug.NPrograms(); ++i)
    if (plug.GetProgram(i)->used && wanted == plug.GetProgramName(i))
      return i;
  return -1;
}

// Resolves "NAME=VALUE" to a parameter and a normalized value. VALUE is one
// of the parameter's display texts or a number in its units.
bool ResolveParam(IPlugBase& plug, const std::string& assignment, int& index, double& normalized,
                  std::string& error)
{
  const std::size_t equals = assignment.find('=');
  const std::string name = assignment.substr(0, equals);
  const std::string text = assignment.substr(equals + 1);
  index = -1;
  for (int i = 0; i < plug.NParams(); ++i)
    if (name == plug.GetParam(i)->GetName())
      index = i;
  if (index < 0)
  {
    error = "unknown parameter \"" + name + "\" (see --list-params)";
    return false;
  }
  const IParamDef& param = *plug.GetParam(index);
  double value = 0.0;
  if (!param.ValueForDisplayText(text.c_str(), &value))
  {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value))
    {
      error = "value \"" + text + "\" of \"" + name + "\" is neither a number nor one of its texts";
      return false;
    }
  }
  normalized = param.ToNormalized(value);
  return true;
}

void ListPrograms(const IPlugBase& plug)
{
  for (int i = 0; i < plug.NPrograms(); ++i)
    if (plug.GetProgram(i)->used)
      std::printf("%d\t%s\n", i, plug.GetProgramName(i));
}

void ListParams(const IPlugBase& plug)
{
  for (int i = 0; i < plug.NParams(); ++i)
  {
    const IParamDef& p = *plug.GetParam(i);
    const int digits = p.GetPrecision();
    std::printf("%d\t%s\t%.*f..%.*f\t%.*f\t%s", i, p.GetName(), digits, p.GetMin(), digits, p.GetMax(), digits,
                p.GetDefault(), p.GetLabel());
    for (int t = 0; t < p.NDisplayTexts(); ++t)
    {
      int value = 0;
      const char* text = p.GetDisplayTextAtIdx(t, &value);
      std::printf("%s%d=%s", t == 0 ? "\t" : ", ", value, text);
    }
    std::printf("\n");
  }
}

std::vector<TimedEvent> ScheduleNotes(const std::vector<RenderNote>& notes, int rate)
{
  std::vector<TimedEvent> events;
  for (const RenderNote& note : notes)
  {
    TimedEvent on{static_cast<std::uint64_t>(std::llround(note.start * rate)), {}};
    on.event.MakeNoteOnMsg(note.note, note.velocity, 0);
    events.push_back(on);
    if (note.length >= 0.0)
    {
      TimedEvent off{static_cast<std::uint64_t>(std::llround((note.start + note.length) * rate)), {}};
      off.event.MakeNoteOffMsg(note.note, 0);
      events.push_back(off);
    }
  }
  // In time order; at the same moment a note ends before the next begins.
  std::stable_sort(events.begin(), events.end(), [](const TimedEvent& a, const TimedEvent& b) {
    if (a.frame != b.frame)
      return a.frame < b.frame;
    return a.event.GetKind() == IMidiEvent::kNoteOff && b.event.GetKind() != IMidiEvent::kNoteOff;
  });
  return events;
}

}  // namespace

int main(int argc, char** argv)
{
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(argc, argv, options, error))
    return Refuse(error);
  if (options.help)
  {
    std::fputs(RenderUsage(), stdout);
    return 0;
  }

  RenderedThrumwell synth;
  if (options.listPrograms || options.listParams)
  {
    if (options.listPrograms)
      ListPrograms(synth);
    if (options.listParams)
      ListParams(synth);
    return 0;
  }

  // Everything is checked before the output file is touched.
  int program = -1;
  if (!options.program.empty())
  {
    program = FindProgram(synth, options.program);
    if (program < 0)
      return Refuse("unknown program \"" + options.program + "\" (see --list-programs)");
  }
  std::vector<std::pair<int, double>> edits;
  for (const std::string& assignment : options.params)
  {
    int index = 0;
    double normalized = 0.0;
    if (!ResolveParam(synth, assignment, index, normalized, error))
      return Refuse(error);
    edits.emplace_back(index, normalized);
  }
  const double exactFrames = options.seconds * options.rate;
  if (exactFrames > static_cast<double>(WavWriter::MaxFrames()))
    return Refuse("--seconds " + std::to_string(options.seconds) + " is too long for a WAV file at this rate");
  const std::uint64_t totalFrames = static_cast<std::uint64_t>(std::llround(exactFrames));

  // Host connection, processing setup, program, then the edits.
  for (int i = 0; i < synth.NParams(); ++i)
    synth.HandleParameterChange(i);
  synth.SetSampleRate(options.rate);
  synth.SetBlockSize(options.block);
  synth.HandleReset();
  {
    IPlugLockGuard guard(synth.GetLock());
    if (program >= 0)
      synth.SelectProgram(program);
    for (const auto& edit : edits)
    {
      synth.GetParam(edit.first)->SetFromNormalized(edit.second);
      synth.HandleParameterChange(edit.first);
    }
  }
  synth.SetInputConnections(0, 2, true);
  synth.SetOutputConnections(0, 2, true);

  WavWriter wav;
  if (!wav.Open(options.output.c_str(), static_cast<std::uint32_t>(options.rate), totalFrames))
  {
    std::fprintf(stderr, "thrumwell-render: cannot write \"%s\"\n", options.output.c_str());
    return kExitFailure;
  }

  const std::vector<TimedEvent> events = ScheduleNotes(options.notes, options.rate);
  std::size_t nextEvent = 0;
  std::vector<float> silence(options.block, 0.0f), left(options.block), right(options.block);
  float* inputs[2] = {silence.data(), silence.data()};
  float* outputs[2] = {left.data(), right.data()};
  const bool showProgress = StderrIsTerminal() && options.seconds > 3.0;
  int shownPercent = -1;
  bool ok = true;
  for (std::uint64_t done = 0; done < totalFrames && ok;)
  {
    const int n = static_cast<int>(std::min<std::uint64_t>(options.block, totalFrames - done));
    {
      // One host process call: events of the block, then the block, under the lock.
      IPlugLockGuard guard(synth.GetLock());
      synth.transportPosition = options.position + static_cast<std::int64_t>(done);
      for (; nextEvent < events.size() && events[nextEvent].frame < done + n; ++nextEvent)
      {
        IMidiEvent event = events[nextEvent].event;
        event.offset = static_cast<std::int32_t>(events[nextEvent].frame - std::min(events[nextEvent].frame, done));
        synth.HandleMidiEvent(event);
      }
      synth.AttachInputBuffers(0, 2, inputs, n);
      synth.AttachOutputBuffers(0, 2, outputs);
      synth.ProcessBuffers32(n);
    }
    ok = wav.Write(left.data(), right.data(), n);
    done += static_cast<std::uint64_t>(n);
    const int percent = static_cast<int>(done * 100 / totalFrames);
    if (showProgress && percent != shownPercent)
    {
      std::fprintf(stderr, "\rthrumwell-render: %3d%%", percent);
      shownPercent = percent;
    }
  }
  if (showProgress)
    std::fprintf(stderr, "\n");
  if (!wav.Close() || !ok)
  {
    std::remove(options.output.c_str());
    std::fprintf(stderr, "thrumwell-render: writing \"%s\" failed\n", options.output.c_str());
    return kExitFailure;
  }
  return 0;
}
