// thrumwell-render: loads the instrument's VST3 bundle (or another plug-in's)
// through our host and plays it as a DAW does, writing the output to a stereo
// file (WAV of 32-bit or 64-bit floats or 24-bit or 16-bit PCM, FLAC, Ogg
// Vorbis, Opus or MP3), streamed block by block under a temporary name that
// becomes the file's own only when the render is complete. The file is
// encoded on a thread of its own while the next blocks are played.
//
// Programs are chosen through the program-change parameter and named from the
// root unit's program list; parameters are found by their titles and set
// through parameter changes; the transport runs in the process context; notes
// are note-on and note-off events at their sample offsets. A session's
// settings and program changes start blocks of their own, its ramps arrive as
// parameter-change points inside the blocks (SessionPlayer). At the end the
// transport stops and the notes still held are released, as a DAW's stop
// does, and the instrument's own fade plays out until a whole block is
// silent, so the file ends without a click.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <type_traits>
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
#include "host/HostUtf8.h"
#include "tools/cli/BundleLocator.h"
#include "tools/cli/ToolArguments.h"
#include "tools/bed/NoiseBed.h"
#ifdef THRUMWELL_HAVE_INPUT_FILE
#include "tools/bed/InputFile.h"
#endif
#include "tools/cli/StopRequest.h"
#include "tools/cli/ToolCommandLine.h"
#include "tools/render/PresetExport.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/StagedFile.h"
#include "tools/render/SoundFileWriter.h"
#include "tools/session/SessionPlayer.h"

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace ThrumwellHost;

using ThrumwellCli::kExitFailure;
using ThrumwellCli::kExitUsage;
constexpr const char* kTool = "thrumwell-render";
// The longest fade the instrument may play after the end (its longest
// release, 8 s, and a margin): a tail that has not died away by then is cut.
constexpr double kTailLimitSeconds = 10.0;
// Below this peak a block counts as silence (about -120 dB), as in the player.
constexpr double kSilence = 1e-6;
// A bed under the tone fades out over this time after the end, while the
// instrument's own fade plays.
constexpr double kBedFadeSeconds = 1.0;

struct TimedNote
{
  std::uint64_t frame;
  bool on;
  int pitch;
  float velocity;  // 0..1
};

int Refuse(const std::string& message) { return ThrumwellCli::Report(kTool, message, kExitUsage); }

int Fail(const std::string& message) { return ThrumwellCli::Report(kTool, message, kExitFailure); }

// Ends a run the user stopped, once what it half wrote is removed.
int Interrupted(const std::string& what)
{
  ThrumwellCli::Report(kTool, "interrupted; " + what, 0);
  ThrumwellCli::StopHandled();
  return ThrumwellCli::StoppedExitStatus();
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

template <class Sample>
double Peak(const Sample* left, const Sample* right, int n)
{
  double peak = 0.0;
  for (int i = 0; i < n; ++i)
    peak = std::max({peak, std::fabs(static_cast<double>(left[i])), std::fabs(static_cast<double>(right[i]))});
  return peak;
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
  ThrumwellCli::ToolArguments arguments(argc, argv);
  argc = arguments.Count();
  argv = arguments.Values();
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
    ThrumwellCli::InstallStopHandler();
    plugin.ActivateDefaultBuses();
    plugin.SetupProcessing(options.rate, options.block, sampleSize, kOffline);
    plugin.SetActive(true);
    plugin.SetProcessing(true);
    int written = 0;
    const bool exported = ExportPresets(plugin, params, classInfo, options.exportPresets, written, error);
    if (ThrumwellCli::StopRequested())
      return Interrupted(std::to_string(written) + " presets were written whole to " + options.exportPresets
                         + ", the others not");
    if (!exported || !plugin.ReportViolations(kTool))
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
  ThrumwellSession::SessionBeds sessionBeds;
  ThrumwellSession::SessionPlayer session;
  if (!ThrumwellSession::ReadSessionEvents(options.session, options.events, sessionEvents, sessionBeds, error)
      || !session.Resolve(sessionEvents, params, controller, options.rate, error))
    return Refuse(error);
  // A message about the session's input file names the session's line.
  const bool inputFromSession = ThrumwellSession::TakeSessionBeds(sessionBeds, options);
  auto inputMessage = [&](const std::string& what) {
    return inputFromSession ? sessionBeds.inputAt.Message(what) : what;
  };
  std::vector<std::uint8_t> stateIn;
  if (!options.stateIn.empty() && !ReadStateFile(ThrumwellHost::PathFromUtf8(options.stateIn), stateIn))
    return Refuse("cannot read the state file \"" + options.stateIn + "\"");
  // Without --seconds a session plays to its last event.
  const double exactFrames = !options.secondsGiven && !session.Empty()
                               ? static_cast<double>(session.LastFrame())
                               : options.seconds * options.rate;
  const double tailFrames = options.tail ? kTailLimitSeconds * options.rate : 0.0;
  if (exactFrames + tailFrames > static_cast<double>(OutputFormatMaxFrames(options.format)))
  {
    char length[32];
    std::snprintf(length, sizeof length, "%g", exactFrames / options.rate);
    return Refuse(std::string("a render of ") + length + " s is too long to write");
  }
  const std::uint64_t totalFrames = static_cast<std::uint64_t>(std::llround(exactFrames));
  const std::uint64_t tailLimit = static_cast<std::uint64_t>(std::llround(tailFrames));

  // Host order: state, buses, setup, activation; then the program and the
  // edits arrive as parameter changes in a flush before the first block.
  if (!stateIn.empty())
    if (const int status = LoadState(plugin, classInfo, options.stateIn, stateIn))
      return status;
  plugin.ActivateDefaultBuses();
  // The file is stereo: a mono output goes to both channels.
  if (plugin.NBuses(kOutput) < 1 || plugin.NChannels(kOutput, 0) < 1)
    return Fail("the plug-in in \"" + bundle + "\" has no audio output");
  const int rightChannel = plugin.NChannels(kOutput, 0) > 1 ? 1 : 0;
  // A bed goes into the instrument's audio input, as a DAW track feeding it.
  const bool bed = options.noise || !options.input.empty();
  if (bed && (plugin.NBuses(kInput) < 1 || plugin.NChannels(kInput, 0) < 2 || !plugin.ActivateBus(kAudio, kInput, 0, true)))
    return Refuse("the plug-in in \"" + bundle + "\" has no stereo audio input to feed the noise or file into");
#ifdef THRUMWELL_HAVE_INPUT_FILE
  InputFile input;
  if (!options.input.empty() && !input.Open(options.input, options.rate, options.inputLoop, options.inputGain, error))
    return Refuse(inputMessage(error));
  bool inputFailed = false;
#else
  if (!options.input.empty())
    return Refuse(inputMessage("this build cannot read audio files for --input"));
#endif
  plugin.SetupProcessing(options.rate, options.block, sampleSize, kOffline);
  plugin.SetActive(true);
  plugin.SetProcessing(true);
  NoiseBed noise;
  if (options.noise)
    noise.Configure(options.noiseColour, options.noiseDb, options.rate);
  // Fills the input with the bed for the next n frames; after the end
  // (fadeAt frames into the tail, or negative before it) the bed fades out.
  const double fadeFrames = kBedFadeSeconds * options.rate;
  auto feedBed = [&](int n, double fadeAt) {
    if (!bed)
      return;
    auto feed = [&](auto* left, auto* right) {
      std::fill_n(left, n, 0);
      std::fill_n(right, n, 0);
      if (options.noise && fadeAt < fadeFrames)
        noise.Add(left, right, n);
#ifdef THRUMWELL_HAVE_INPUT_FILE
      if (!options.input.empty() && fadeAt < fadeFrames && !input.Add(left, right, n))
        inputFailed = true;
#endif
      if (fadeAt < 0)
        return;
      for (int i = 0; i < n; ++i)
      {
        const double gain = std::max(0.0, 1.0 - (fadeAt + i) / fadeFrames);
        left[i] = static_cast<std::remove_reference_t<decltype(left[i])>>(left[i] * gain);
        right[i] = static_cast<std::remove_reference_t<decltype(right[i])>>(right[i] * gain);
      }
    };
    if (sampleSize == kSample64)
      feed(plugin.Channel64(kInput, 0, 0), plugin.Channel64(kInput, 0, 1));
    else
      feed(plugin.Channel32(kInput, 0, 0), plugin.Channel32(kInput, 0, 1));
  };
  ProcessContext context = HostTransport(options.rate, options.position, true);
  plugin.Process(0, &changes, nullptr, &context);
  if (!plugin.ReportViolations(kTool))
    return Fail("the plug-in failed to start");
  session.ReadValuesInForce();

  // From the first byte of the output on, a stop ends the render at the next
  // block and removes the file.
  ThrumwellCli::InstallStopHandler();
  StagedFile staged(options.output);
  // The file is encoded on the writer's own thread while the next blocks
  // are played.
  SoundFileWriter output;
  if (!output.Open(staged.TemporaryPath(), options.rate, totalFrames + tailLimit, options.format, options.quality,
                   error))
    return Fail(error);
  // Writes the block just processed; its peak goes to *peak when asked for
  // (only the blocks that decide whether the tail plays on need it).
  bool writeFailed = false;
  auto writeBlock = [&](int n, double* peak) {
    if (sampleSize == kSample64)
    {
      const double* left = plugin.Channel64(kOutput, 0, 0);
      const double* right = plugin.Channel64(kOutput, 0, rightChannel);
      if (peak)
        *peak = Peak(left, right, n);
      writeFailed = !output.Write(left, right, n);
    }
    else
    {
      const float* left = plugin.Channel32(kOutput, 0, 0);
      const float* right = plugin.Channel32(kOutput, 0, rightChannel);
      if (peak)
        *peak = Peak(left, right, n);
      writeFailed = !output.Write(left, right, n);
    }
    return !writeFailed;
  };

  const std::vector<TimedNote> notes = ScheduleNotes(options.notes, options.rate);
  std::size_t nextNote = 0;
  std::array<int, 128> held{};  // note-ons sent minus note-offs, by pitch
  HostEventList events;
  const bool showProgress = StderrIsTerminal() && static_cast<double>(totalFrames) > 3.0 * options.rate;
  int shownPercent = -1;
  bool ok = true;
  double peak = 0.0;
  for (std::uint64_t done = 0; done < totalFrames && ok && !ThrumwellCli::StopRequested();)
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
      int& sounding = held[static_cast<std::size_t>(note.pitch & 127)];
      if (note.on && events.NoteOn(offset, static_cast<int16>(note.pitch), note.velocity))
        ++sounding;
      else if (!note.on && events.NoteOff(offset, static_cast<int16>(note.pitch)) && sounding > 0)
        --sounding;
    }
    feedBed(n, -1.0);
    ok = ok && plugin.Process(n, &changes, &events, &context) && plugin.ReportViolations(kTool);
    ok = ok && writeBlock(n, done + static_cast<std::uint64_t>(n) == totalFrames ? &peak : nullptr);
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

  // The tail: the transport stops where the render ended and the notes still
  // held are released; blocks follow until one is silent from end to end.
  // A render that is silent at its end needs none.
  if (options.tail && peak >= kSilence)
  {
    const std::int64_t stopped = options.position + static_cast<std::int64_t>(totalFrames);
    events.Clear();
    for (int pitch = 0; pitch < 128; ++pitch)
      for (int& sounding = held[static_cast<std::size_t>(pitch)]; sounding > 0; --sounding)
        events.NoteOff(0, static_cast<int16>(pitch));
    for (std::uint64_t played = 0; ok && played < tailLimit && peak >= kSilence && !ThrumwellCli::StopRequested();)
    {
      context = HostTransport(options.rate, stopped, false);
      const int n = static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(options.block), tailLimit - played));
      changes.Clear();
      feedBed(n, static_cast<double>(played));
      ok = plugin.Process(n, &changes, &events, &context) && plugin.ReportViolations(kTool);
      ok = ok && writeBlock(n, &peak);
      events.Clear();
      played += static_cast<std::uint64_t>(n);
    }
  }

  std::string writeError;
  const bool closed = output.Close(writeError);
  // A stop in the loops above or while the file was being finished: the file
  // is not given its name.
  if (ThrumwellCli::StopRequested())
  {
    staged.Discard();
    return Interrupted("nothing was written to \"" + options.output + "\"");
  }
#ifdef THRUMWELL_HAVE_INPUT_FILE
  if (inputFailed)
    return Fail(input.Error());
#endif
  if (!ok && !writeFailed)
    return Fail("the plug-in failed; nothing was written to \"" + options.output + "\"");
  if (!closed || writeFailed)
    return Fail("writing \"" + options.output + "\" failed: " + writeError);
  if (!staged.Commit(error))
    return Fail(error);

  if (!options.stateOut.empty())
  {
    std::vector<std::uint8_t> state;
    if (!plugin.GetState(state) || !WriteStateFile(ThrumwellHost::PathFromUtf8(options.stateOut), state))
      return Fail("cannot save the state to \"" + options.stateOut + "\"");
  }
  plugin.Destroy();
  return plugin.ReportViolations(kTool) ? 0 : kExitFailure;
}
