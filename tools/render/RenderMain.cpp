// thrumwell-render: loads the instrument's VST3 bundle through our host and
// plays it as a DAW does, writing the output to a stereo WAV file of 32-bit
// (or, with --sample-size 64, 64-bit) floats.
//
// Programs are chosen through the program-change parameter and named from the
// root unit's program list; parameters are found by their titles and set
// through parameter changes; the transport runs in the process context; notes
// are note-on and note-off events at their sample offsets.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/HostConsole.h"
#include "host/HostEventList.h"
#include "host/HostModule.h"
#include "host/HostParameterChanges.h"
#include "host/HostParameterList.h"
#include "host/HostPlugin.h"
#include "host/HostStateFile.h"
#include "host/HostTransport.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/WavWriter.h"

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace ThrumwellHost;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct TimedNote
{
  std::uint64_t frame;
  bool on;
  int pitch;
  float velocity;  // 0..1
};

int Refuse(const std::string& message)
{
  std::fprintf(stderr, "thrumwell-render: %s\n", message.c_str());
  return kExitUsage;
}

int Fail(const std::string& message)
{
  std::fprintf(stderr, "thrumwell-render: %s\n", message.c_str());
  return kExitFailure;
}

std::string DefaultBundle()
{
#ifdef THRUMWELL_DEFAULT_BUNDLE
  return THRUMWELL_DEFAULT_BUNDLE;
#else
  return "Thrumwell.vst3";
#endif
}

std::vector<TimedNote> ScheduleNotes(const std::vector<RenderNote>& notes, int rate)
{
  std::vector<TimedNote> events;
  for (const RenderNote& note : notes)
  {
    events.push_back({static_cast<std::uint64_t>(std::llround(note.start * rate)), true, note.note,
                      HostEventList::VelocityFromMidi(note.velocity)});
    if (note.length >= 0.0)
      events.push_back(
        {static_cast<std::uint64_t>(std::llround((note.start + note.length) * rate)), false, note.note, 0.0f});
  }
  // In time order; at the same moment a note ends before the next begins.
  std::stable_sort(events.begin(), events.end(), [](const TimedNote& a, const TimedNote& b) {
    if (a.frame != b.frame)
      return a.frame < b.frame;
    return !a.on && b.on;
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

  const std::string bundle = options.plugin.empty() ? DefaultBundle() : options.plugin;
  HostModule module;
  if (!module.Load(bundle))
    return Fail(module.Error());
  HostPlugin plugin(module);
  if (!plugin.Create() || !plugin.ReportViolations("thrumwell-render"))
    return Fail("the plug-in in \"" + bundle + "\" could not be created");
  IEditController* controller = plugin.Controller();
  const HostParameterList params(controller, plugin.Units());

  if (options.listPrograms || options.listParams)
  {
    if (options.listPrograms)
      params.PrintPrograms(stdout);
    if (options.listParams)
      params.PrintParameters(stdout);
    return 0;
  }

  // Everything is checked before the output file is touched.
  HostParameterChanges changes;
  if (!params.AddUserChoices(options.program, options.params, changes, error))
    return Refuse(error);
  std::vector<std::uint8_t> stateIn;
  if (!options.stateIn.empty() && !ReadStateFile(options.stateIn, stateIn))
    return Refuse("cannot read the state file \"" + options.stateIn + "\"");
  const double exactFrames = options.seconds * options.rate;
  if (exactFrames > static_cast<double>(WavWriter::MaxFrames(options.sampleBits)))
    return Refuse("--seconds " + std::to_string(options.seconds) + " is too long for a WAV file at this rate");
  const std::uint64_t totalFrames = static_cast<std::uint64_t>(std::llround(exactFrames));

  // Host order: state, buses, setup, activation; then the program and the
  // edits arrive as parameter changes in a flush before the first block.
  if (!stateIn.empty() && plugin.SetState(stateIn) != kResultOk)
    return Fail("the plug-in refused the state in \"" + options.stateIn + "\"");
  const int sampleSize = options.sampleBits == 64 ? kSample64 : kSample32;
  plugin.ActivateDefaultBuses();
  plugin.SetupProcessing(options.rate, options.block, sampleSize, kOffline);
  plugin.SetActive(true);
  plugin.SetProcessing(true);
  ProcessContext context = HostTransport(options.rate, options.position, true);
  plugin.Process(0, &changes, nullptr, &context);
  if (!plugin.ReportViolations("thrumwell-render"))
    return Fail("the plug-in failed to start");

  WavWriter wav;
  if (!wav.Open(options.output.c_str(), static_cast<std::uint32_t>(options.rate), totalFrames, options.sampleBits))
    return Fail("cannot write \"" + options.output + "\"");

  const std::vector<TimedNote> notes = ScheduleNotes(options.notes, options.rate);
  std::size_t nextNote = 0;
  HostEventList events;
  const bool showProgress = StderrIsTerminal() && options.seconds > 3.0;
  int shownPercent = -1;
  bool ok = true;
  for (std::uint64_t done = 0; done < totalFrames && ok;)
  {
    const int n = static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(options.block), totalFrames - done));
    events.Clear();
    for (; nextNote < notes.size() && notes[nextNote].frame < done + n; ++nextNote)
    {
      const TimedNote& note = notes[nextNote];
      const int32 offset = static_cast<int32>(note.frame - std::min(note.frame, done));
      if (note.on)
        events.NoteOn(offset, static_cast<int16>(note.pitch), note.velocity);
      else
        events.NoteOff(offset, static_cast<int16>(note.pitch));
    }
    context = HostTransport(options.rate, options.position + static_cast<std::int64_t>(done), true);
    ok = plugin.Process(n, nullptr, &events, &context) && plugin.ReportViolations("thrumwell-render");
    if (ok && sampleSize == kSample64)
      ok = wav.Write(plugin.Channel64(kOutput, 0, 0), plugin.Channel64(kOutput, 0, 1), n);
    else if (ok)
      ok = wav.Write(plugin.Channel32(kOutput, 0, 0), plugin.Channel32(kOutput, 0, 1), n);
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
    return Fail("writing \"" + options.output + "\" failed");
  }

  if (!options.stateOut.empty())
  {
    std::vector<std::uint8_t> state;
    if (!plugin.GetState(state) || !WriteStateFile(options.stateOut, state))
      return Fail("cannot save the state to \"" + options.stateOut + "\"");
  }
  plugin.Destroy();
  return plugin.ReportViolations("thrumwell-render") ? 0 : kExitFailure;
}
