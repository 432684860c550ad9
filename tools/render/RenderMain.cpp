// thrumwell-render: loads the instrument's VST3 bundle (or another plug-in's)
// through our host and plays it as a DAW does, writing the output to a stereo WAV file (32-bit or
// 64-bit floats, or dithered 24-bit or 16-bit PCM), streamed block by block.
//
// Programs are chosen through the program-change parameter and named from the
// root unit's program list; parameters are found by their titles and set
// through parameter changes; the transport runs in the process context; notes
// are note-on and note-off events at their sample offsets. A session's
// settings and program changes start blocks of their own, its ramps arrive as
// parameter-change points inside the blocks (SessionPlayer).

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
#include "host/HostPresetFile.h"
#include "host/HostStateFile.h"
#include "host/HostTransport.h"
#include "tools/cli/BundleLocator.h"
#include "tools/cli/ToolCommandLine.h"
#include "tools/render/PresetExport.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/WavWriter.h"
#include "tools/session/SessionPlayer.h"

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace ThrumwellHost;

using ThrumwellCli::kExitFailure;
using ThrumwellCli::kExitUsage;
constexpr const char* kTool = "thrumwell-render";

struct TimedNote
{
  std::uint64_t frame;
  bool on;
  int pitch;
  float velocity;  // 0..1
};

int Refuse(const std::string& message) { return ThrumwellCli::Report(kTool, message, kExitUsage); }

int Fail(const std::string& message) { return ThrumwellCli::Report(kTool, message, kExitFailure); }

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

// A state file as given to --state-in: a preset file made for this class, or
// the component's raw state.
int LoadState(HostPlugin& plugin, const HostClassInfo& info, const std::string& path,
              const std::vector<std::uint8_t>& bytes)
{
  if (!HostPresetFile::LooksLikePreset(bytes))
    return plugin.SetState(bytes) == kResultOk ? 0 : Fail("the plug-in refused the state in \"" + path + "\"");
  // A damaged file or one for another plug-in is bad input; a file the
  // plug-in refuses is its failure, as with a raw state.
  HostPresetFile preset;
  std::string error;
  const std::string classId = HostPresetFile::ClassIdText(info.cid);
  if (!preset.Parse(bytes, error) || !preset.MadeFor(classId, error))
    return Refuse("\"" + path + "\": " + error);
  if (!preset.LoadInto(plugin, bytes, classId, error))
    return Fail("\"" + path + "\": " + error);
  return 0;
}

}  // namespace

int main(int argc, char** argv)
{
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(argc, argv, options, error))
    return Refuse(error);
  if (ThrumwellCli::AnswerHelpOrVersion(kTool, options.help, options.version, RenderUsage()))
    return 0;

  const std::string bundle = options.plugin.empty() ? ThrumwellCli::DefaultBundle() : options.plugin;
  HostModule module;
  if (!module.Load(bundle))
    return Fail(module.Error());
  HostClassInfo classInfo;
  const int classIndex = module.ChooseClass(options.classChoice, error);
  if (classIndex < 0 && !options.classChoice.empty())
    return Refuse("\"" + bundle + "\": " + error);
  if (classIndex < 0 || !module.GetClass(classIndex, classInfo))
    return Fail("\"" + bundle + "\" has no audio module class");
  HostPlugin plugin(module);
  if (!plugin.Create(classIndex) || !plugin.ReportViolations(kTool))
    return Fail("the plug-in in \"" + bundle + "\" could not be created");
  IEditController* controller = plugin.Controller();
  const HostParameterList params(controller, plugin.Units());

  if (options.listPrograms || options.listParams)
  {
    if (options.listPrograms)
      params.PrintPrograms(stdout, options.listAll);
    if (options.listParams)
      params.PrintParameters(stdout);
    return 0;
  }

  const int sampleSize = options.sampleBits == 64 ? kSample64 : kSample32;
  if (!options.exportPresets.empty())
  {
    plugin.ActivateDefaultBuses();
    plugin.SetupProcessing(options.rate, options.block, sampleSize, kOffline);
    plugin.SetActive(true);
    plugin.SetProcessing(true);
    int written = 0;
    if (!ExportPresets(plugin, params, classInfo, options.exportPresets, written, error) || !plugin.ReportViolations(kTool))
      return Fail(error.empty() ? "the plug-in failed while the presets were exported" : error);
    std::printf("wrote %d presets to %s\n", written, options.exportPresets.c_str());
    plugin.Destroy();
    return plugin.ReportViolations(kTool) ? 0 : kExitFailure;
  }

  // Everything is checked before the output file is touched.
  HostParameterChanges changes;
  if (!params.AddUserChoices(options.program, options.params, changes, error))
    return Refuse(error);
  std::vector<ThrumwellSession::SessionEvent> sessionEvents;
  ThrumwellSession::SessionPlayer session;
  if (!ThrumwellSession::ReadSessionEvents(options.session, options.events, sessionEvents, error)
      || !session.Resolve(sessionEvents, params, controller, options.rate, error))
    return Refuse(error);
  std::vector<std::uint8_t> stateIn;
  if (!options.stateIn.empty() && !ReadStateFile(options.stateIn, stateIn))
    return Refuse("cannot read the state file \"" + options.stateIn + "\"");
  // Without --seconds a session plays to its last event.
  const double exactFrames = !options.secondsGiven && !session.Empty()
                               ? static_cast<double>(session.LastFrame())
                               : options.seconds * options.rate;
  if (exactFrames > static_cast<double>(WavWriter::MaxFrames(options.format)))
  {
    char length[32];
    std::snprintf(length, sizeof length, "%g", exactFrames / options.rate);
    return Refuse(std::string("a render of ") + length + " s is too long to write");
  }
  const std::uint64_t totalFrames = static_cast<std::uint64_t>(std::llround(exactFrames));

  // Host order: state, buses, setup, activation; then the program and the
  // edits arrive as parameter changes in a flush before the first block.
  if (!stateIn.empty())
    if (const int status = LoadState(plugin, classInfo, options.stateIn, stateIn))
      return status;
  plugin.ActivateDefaultBuses();
  // The file is stereo: a mono output goes to both channels.
  if (plugin.NBuses(kOutput) < 1 || plugin.NChannels(kOutput, 0) < 1)
    return Fail("the plug-in in \"" + bundle + "\" has no audio output");
  const int right = plugin.NChannels(kOutput, 0) > 1 ? 1 : 0;
  plugin.SetupProcessing(options.rate, options.block, sampleSize, kOffline);
  plugin.SetActive(true);
  plugin.SetProcessing(true);
  ProcessContext context = HostTransport(options.rate, options.position, true);
  plugin.Process(0, &changes, nullptr, &context);
  if (!plugin.ReportViolations(kTool))
    return Fail("the plug-in failed to start");
  session.ReadValuesInForce();

  WavWriter wav;
  if (!wav.Open(options.output.c_str(), static_cast<std::uint32_t>(options.rate), totalFrames, options.format))
    return Fail("cannot write \"" + options.output + "\"");

  const std::vector<TimedNote> notes = ScheduleNotes(options.notes, options.rate);
  std::size_t nextNote = 0;
  HostEventList events;
  const bool showProgress = StderrIsTerminal() && static_cast<double>(totalFrames) > 3.0 * options.rate;
  int shownPercent = -1;
  bool ok = true;
  for (std::uint64_t done = 0; done < totalFrames && ok;)
  {
    context = HostTransport(options.rate, options.position + static_cast<std::int64_t>(done), true);
    // A program change of the session comes in a flush of its own, so that
    // what follows at the same time, and ramps from its values, build on it.
    changes.Clear();
    if (session.AddProgramChange(done, changes))
    {
      ok = plugin.Process(0, &changes, nullptr, &context) && plugin.ReportViolations(kTool);
      session.ReadValuesInForce();
    }
    const std::uint64_t boundary = session.NextBoundary(done);
    const std::uint64_t room = std::min(totalFrames, boundary) - done;
    const int n = static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(options.block), room));
    changes.Clear();
    session.AddBlockChanges(done, n, changes);
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
    ok = ok && plugin.Process(n, &changes, &events, &context) && plugin.ReportViolations(kTool);
    if (ok && sampleSize == kSample64)
      ok = wav.Write(plugin.Channel64(kOutput, 0, 0), plugin.Channel64(kOutput, 0, right), n);
    else if (ok)
      ok = wav.Write(plugin.Channel32(kOutput, 0, 0), plugin.Channel32(kOutput, 0, right), n);
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
  return plugin.ReportViolations(kTool) ? 0 : kExitFailure;
}
