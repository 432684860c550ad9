// thrumwell: the instrument as a standalone player. Loads the Thrumwell VST3
// bundle through our host, as a DAW loads it, and plays it to the sound card
// through RtAudio with the notes of the MIDI inputs; the transport runs while
// playing, so Generator mode sounds and fades as it does in a DAW.
// The window "Thrumwell" holds the instrument's editor (through its VST3
// view, as a DAW opens it) above a transport strip; --no-window plays from
// the terminal. The strip's button or the space bar stops and plays the
// transport; closing the window, q or Ctrl+C stops it, lets the
// instrument's own fade die away, and exits 0.
// The component state and the chosen device are remembered for the next run.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "graphics/IGraphics.h"
#include "host/HostConsole.h"
#include "host/HostEditorView.h"
#include "host/HostModule.h"
#include "host/HostParameterChanges.h"
#include "host/HostParameterList.h"
#include "host/HostPlugin.h"
#include "host/HostRunLoop.h"
#include "host/HostStateFile.h"
#include "host/HostTransport.h"
#include "host/HostUtf8.h"
#include "host/HostWindow.h"
#include "tools/cli/BundleLocator.h"
#include "tools/cli/StopRequest.h"
#include "tools/cli/ToolArguments.h"
#include "tools/player/MidiNoteQueue.h"
#include "tools/player/PlayerAudio.h"
#include "tools/player/PlayerEngine.h"
#include "tools/player/PlayerMidi.h"
#include "tools/player/PlayerOptions.h"
#include "tools/player/PlayerPlatform.h"
#include "tools/player/PlayerSession.h"
#include "tools/player/PlayerSettings.h"
#include "tools/player/PlayerStrip.h"

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace ThrumwellHost;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// The longest fade the instrument may need after the last note (its longest
// release) and some margin: past it the player closes anyway.
constexpr double kFadeLimitSeconds = 10.0;
// A device that has not asked for audio for this long has stopped.
constexpr double kStallSeconds = 3.0;

int Say(int status, const std::string& message)
{
  std::fprintf(stderr, "thrumwell: %s\n", message.c_str());
  return status;
}

std::string Clock(double seconds)
{
  return PlayerStrip::ClockText(seconds);
}

// The player's window: the instrument's editor through its view, the
// transport strip under it.
struct PlayerWindow
{
  std::unique_ptr<HostWindow> window;
  std::unique_ptr<HostEditorView> view;
  std::unique_ptr<PlayerStrip> strip;
  float scale = 1.0f;

  // The screen's scale changed (the window moved to another monitor, the
  // desktop's scale was changed): the editor and the strip take the new one.
  void FollowScale()
  {
    if (!window || !view || !strip)
      return;
    const float now = IGraphics::AcceptedScale(window->SystemScale());
    if (now == 0.0f || now == scale)
      return;
    scale = now;
    view->SetContentScale(scale);
    strip->SetScale(*window, scale);
  }

  // Closes in the host's order: our strip, the plug-in's view, the window.
  void Close()
  {
    if (strip)
      strip->Close();
    strip.reset();
    if (view)
      view->Close();
    view.reset();
    window.reset();
  }
};

// Opens the window on the main thread's run loop; false with the reason.
bool OpenWindow(PlayerWindow& player, HostPlugin& plugin, PlayerEngine& engine, const PlayerAudio& audio,
                HostRunLoop& runLoop, std::string& error)
{
  // Any size: the view sizes the window for the editor, the strip adds its band.
  player.window = HostWindow::Create(400, 400, "Thrumwell", &runLoop);
  if (!player.window)
  {
    error = "cannot open the window: no display (--no-window plays from the terminal)";
    return false;
  }
  player.window->LeavePointerAlone();
  player.view = std::make_unique<HostEditorView>(plugin, *player.window);
  // The screen's scale, told to the editor before it opens and given to the
  // strip, so that both are drawn at one factor.
  float scale = IGraphics::AcceptedScale(player.window->SystemScale());
  if (scale == 0.0f)
    scale = 1.0f;
  player.scale = scale;
  player.view->SetContentScale(scale);
  if (!player.view->Open())
  {
    const auto& seen = plugin.Violations();
    error = "the instrument's editor did not open" + (seen.empty() ? std::string() : ": " + seen.back());
    return false;
  }
  // The strip is laid out at the editor's unscaled width and drawn scaled.
  const int layoutWidth = static_cast<int>(player.view->Size().getWidth() / scale + 0.5f);
  player.strip =
    std::make_unique<PlayerStrip>(engine, layoutWidth, audio.DeviceName(), audio.Rate(), scale);
  if (!player.strip->Open(*player.window, runLoop))
  {
    error = "cannot open the transport strip's window";
    return false;
  }
  return true;
}

// The device: the one on the command line, else the saved one, else the
// default. A saved device that is gone gives way to the default.
int ChooseDevice(const PlayerOptions& options, const PlayerSettings& settings, PlayerAudio& audio)
{
  const bool named = !options.api.empty() || !options.device.empty();
  AudioChoice choice = named ? AudioChoice{options.api, options.device, 0, 0} : settings.device;
  if (options.rate > 0)
    choice.rate = options.rate;
  if (options.buffer > 0)
    choice.buffer = options.buffer;
  int status = audio.Choose(choice);
  if (status != 0 && !named && !(settings.device.api.empty() && settings.device.device.empty()))
  {
    Say(0, "the saved device is not available (" + audio.Error() + "); using the default");
    status = audio.Choose(AudioChoice{"", "", options.rate, options.buffer});
  }
  return status == 0 ? 0 : Say(status, audio.Error());
}

// Why playing ended.
enum class Ending { kStopped, kDeviceFailed };

// Runs the main thread until the user stops, the time is up or the device
// fails: the plug-in's timers, the progress line.
Ending Play(const PlayerOptions& options, PlayerAudio& audio, PlayerEngine& engine, PlayerSession& session,
            HostRunLoop& runLoop, PlayerWindow& window, std::string& failure)
{
  const bool showProgress = StderrIsTerminal();
  const std::int64_t started = PlayerClockNs();
  const double stallNs = std::max(kStallSeconds, 20.0 * audio.Buffer() / audio.Rate()) * 1e9;
  const std::int64_t totalFrames =
    options.seconds >= 0.0 ? static_cast<std::int64_t>(options.seconds * audio.Rate() + 0.5) : -1;
  std::int64_t shown = -1;
  int scaleChecks = 0;
  for (;;)
  {
    runLoop.RunOnce(20);
    session.Fill();
    if (ThrumwellCli::StopRequested())
      return Ending::kStopped;
    // Space (or p) plays and stops the transport; q ends as Ctrl+C does.
    // Keys typed on the terminal, or on the window itself.
    for (;;)
    {
      int key = ReadKey();
      if (key < 0 && window.window)
        key = window.window->TakeKey();
      if (key < 0)
        break;
      if (key == ' ' || key == 'p' || key == 'P')
        engine.SetPlaying(!engine.Playing());
      else if (key == 'q' || key == 'Q')
        return Ending::kStopped;
    }
    if (window.window && window.window->CloseRequested())
      return Ending::kStopped;
    // Twice a second: has the screen's scale changed?
    if (++scaleChecks % 25 == 0)
      window.FollowScale();
    const std::int64_t position = engine.Position();
    if (window.strip)
      window.strip->Update(engine.Playing(), static_cast<double>(position) / audio.Rate(), engine.DropOuts());
    if (totalFrames >= 0 && position >= totalFrames)
      return Ending::kStopped;
    const std::int64_t now = PlayerClockNs();
    const std::int64_t lastCall = engine.Blocks() > 0 ? engine.LastCallNs() : started;
    if (audio.Failed())
    {
      failure = "the device \"" + audio.DeviceName() + "\" failed while playing: " + PlayerAudio::FailureText();
      return Ending::kDeviceFailed;
    }
    if (static_cast<double>(now - lastCall) > stallNs)
    {
      failure = "the device \"" + audio.DeviceName() + "\" stopped asking for audio";
      return Ending::kDeviceFailed;
    }
    // A new line each second of play, and at once after play or stop.
    const std::int64_t second = position / audio.Rate() * 2 + (engine.Playing() ? 1 : 0);
    if (showProgress && second != shown)
    {
      shown = second;
      std::string line = std::string("\rthrumwell: ") + (engine.Playing() ? "playing " : "stopped ") +
                         Clock(static_cast<double>(position) / audio.Rate());
      if (totalFrames >= 0)
        line += " / " + Clock(options.seconds);
      line += "  \"" + audio.DeviceName() + "\" " + std::to_string(audio.Rate()) + " Hz";
      if (engine.DropOuts() > 0)
        line += "  drop-outs: " + std::to_string(engine.DropOuts());
      std::fprintf(stderr, "%s ", line.c_str());
      std::fflush(stderr);
    }
  }
}

// Stops the transport and keeps the stream running until the instrument's
// fade has died away, so the sound ends without a click; then closes.
bool FadeOutAndClose(PlayerAudio& audio, PlayerEngine& engine, HostRunLoop& runLoop)
{
  engine.RequestQuit();
  const std::int64_t asked = PlayerClockNs();
  const std::int64_t until = asked + static_cast<std::int64_t>(kFadeLimitSeconds * 1e9);
  const std::int64_t stallNs = static_cast<std::int64_t>(kStallSeconds * 1e9);
  auto stalled = [&] {
    const std::int64_t lastCall = std::max(asked, engine.LastCallNs());
    return PlayerClockNs() - lastCall > stallNs;
  };
  while (!engine.Silent() && PlayerClockNs() < until && !audio.Failed() && !stalled())
    runLoop.RunOnce(5);
  if (audio.Failed() || !engine.Silent())
  {
    audio.Abort();
    return false;
  }
  audio.Close();
  return true;
}

}  // namespace

int main(int argc, char** argv)
{
  ThrumwellCli::ToolArguments arguments(argc, argv);
  argc = arguments.Count();
  argv = arguments.Values();
  PlayerOptions options;
  const int parsed = ParsePlayerOptions(argc, argv, options);
  if (parsed >= 0)
    return parsed;
  if (options.listDevices)
  {
    PlayerAudio::List(options.api, stdout);
    PlayerMidi::List(options.api, stdout);
    return 0;
  }

  // From here on a stop request ends playing with a fade, however early.
  ThrumwellCli::InstallStopHandler();
  PlayerSettings settings;
  settings.Load();
  // The noise bed and the input file outlive the stream that plays them.
  NoiseBed noise;
#ifdef THRUMWELL_HAVE_INPUT_FILE
  PlayerInput input;
#endif
  PlayerAudio audio;
  const bool listing = options.listPrograms || options.listParams;
  // The session's form and beds are checked before a device is chosen; its
  // names and values once the plug-in is there.
  std::string error;
  std::vector<ThrumwellSession::SessionEvent> sessionEvents;
  ThrumwellSession::SessionBeds sessionBeds;
  if (!listing
      && !ThrumwellSession::ReadSessionEvents(options.session, options.events, sessionEvents, sessionBeds, error))
    return Say(kExitUsage, error);
  // A message about the session's input file names the session's line.
  const bool inputFromSession = ThrumwellSession::TakeSessionBeds(sessionBeds, options);
  auto inputMessage = [&](const std::string& what) {
    return inputFromSession ? sessionBeds.inputAt.Message(what) : what;
  };
#ifdef THRUMWELL_HAVE_INPUT_FILE
  // An input file that cannot be played is refused before a device is
  // chosen; it is opened again below at the rate the device grants.
  if (!options.input.empty() && !listing)
  {
    InputFile probe;
    std::string why;
    if (!probe.Open(options.input, 48000, options.inputLoop, options.inputGain, why))
      return Say(kExitUsage, inputMessage(why));
  }
#endif
  if (!listing)
    if (const int status = ChooseDevice(options, settings, audio))
      return status;

  const std::string bundle = options.plugin.empty() ? ThrumwellCli::DefaultBundle() : options.plugin;
  // The run loop outlives the module: the factory holds it until unloading.
  HostRunLoop runLoop;
  HostModule module;
  if (!module.Load(bundle))
    return Say(kExitFailure, module.Error());
  OfferRunLoop(module, runLoop);
  std::string classError;
  const int classIndex = module.ChooseClass(options.classChoice, classError);
  if (classIndex < 0)
    return Say(options.classChoice.empty() ? kExitFailure : kExitUsage, "\"" + bundle + "\": " + classError);
  HostPlugin plugin(module, u"Thrumwell");
  if (!plugin.Create(classIndex) || !plugin.ReportViolations("thrumwell"))
    return Say(kExitFailure, "the plug-in in \"" + bundle + "\" could not be created");
  const HostParameterList params(plugin.Controller(), plugin.Units());
  if (listing)
  {
    if (options.listPrograms)
      params.PrintPrograms(stdout);
    if (options.listParams)
      params.PrintParameters(stdout);
    return 0;
  }

  HostParameterChanges changes;
  if (!params.AddUserChoices(options.program, options.params, changes, error))
    return Say(kExitUsage, error);
  PlayerSession session;
  // The remembered state is that of the instrument beside the player; a
  // plug-in named with --plugin neither gets it nor replaces it.
  const bool rememberedState = options.plugin.empty();
  std::vector<std::uint8_t> state = rememberedState ? settings.state : std::vector<std::uint8_t>();
  if (!options.stateIn.empty() && !ReadStateFile(ThrumwellHost::PathFromUtf8(options.stateIn), state))
    return Say(kExitUsage, "cannot read the state file \"" + options.stateIn + "\"");
  PlayerEngine engine(plugin);
  if (const int status = audio.Open(engine))
    return Say(status, audio.Error());
  // The session's frames at the rate the device granted.
  if (!session.Resolve(sessionEvents, params, plugin.Controller(), audio.Rate(), audio.Buffer(), error))
    return Say(kExitUsage, error);

  // Host order: state, buses, setup, activation; the program and the edits
  // arrive as parameter changes in a flush before the first block.
  if (!state.empty() && plugin.SetState(state) != kResultOk)
  {
    if (!options.stateIn.empty())
      return Say(kExitFailure, "the plug-in refused the state in \"" + options.stateIn + "\"");
    Say(0, "the saved state was refused; starting from the defaults");
  }
  plugin.ActivateDefaultBuses();
  if (plugin.NBuses(kOutput) < 1 || plugin.NChannels(kOutput, 0) != 2)
    return Say(kExitFailure, "the plug-in has no stereo output");
  // A bed goes into the instrument's audio input, as a DAW track feeding it.
  if ((options.noise || !options.input.empty())
      && (plugin.NBuses(kInput) < 1 || plugin.NChannels(kInput, 0) < 2 || !plugin.ActivateBus(kAudio, kInput, 0, true)))
    return Say(kExitUsage, "the plug-in has no stereo audio input to feed the noise or file into");
  plugin.SetupProcessing(audio.Rate(), audio.Buffer(), kSample32, kRealtime);
  plugin.SetActive(true);
  plugin.SetProcessing(true);
  ProcessContext context = HostTransport(audio.Rate(), 0, false);
  plugin.Process(0, &changes, nullptr, &context);
  if (!session.Empty() && !session.Start(plugin, audio.Rate()))
    return Say(kExitFailure, "the plug-in failed to start the session");
  if (!plugin.ReportViolations("thrumwell"))
    return Say(kExitFailure, "the plug-in failed to start");
  engine.Prepare(audio.Rate(), audio.Buffer());
  if (options.noise)
  {
    noise.Configure(options.noiseColour, options.noiseDb, audio.Rate());
    engine.SetNoise(&noise);
  }
  if (!options.input.empty())
  {
#ifdef THRUMWELL_HAVE_INPUT_FILE
    if (!input.Open(options.input, audio.Rate(), options.inputLoop, options.inputGain, error))
      return Say(kExitUsage, inputMessage(error));
    input.Start();
    engine.SetInput(&input);
#else
    return Say(kExitUsage, inputMessage("this build cannot read audio files for --input"));
#endif
  }
  if (!session.Empty())
    engine.SetSession(&session.Queue());

  PlayerMidi midi;
  if (!midi.Open(engine, audio.ApiName(), options.midi))
    return Say(kExitUsage, midi.Error());
  for (const std::string& warning : midi.Warnings())
    Say(0, warning);

  PlayerWindow window;
  if (!options.noWindow)
    DrawAtMonitorScale();
  if (!options.noWindow && !OpenWindow(window, plugin, engine, audio, runLoop, error))
  {
    window.Close();
    return Say(kExitFailure, error);
  }

  if (const int status = audio.Start())
  {
    // No callback may outlive the engine and the plug-in.
    audio.Abort();
    return Say(status, audio.Error());
  }
  // The transport runs once the stream has called back a few times: some
  // audio systems (JACK) connect the outputs only when the stream starts, and
  // the connection can cost the first cycles; a fade-in played then would go
  // unheard, leaving the tone to start with a click. A stream that does not
  // call back at all is caught by the main loop's watchdog.
  const std::int64_t settled = engine.Blocks() + 8;
  for (int waited = 0; engine.Blocks() < settled && waited < 500; waited += 5)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  engine.SetPlaying(true);
  std::string inputs;
  for (const std::string& port : midi.Ports())
    inputs += (inputs.empty() ? "\"" : ", \"") + port + "\"";
  Say(0, "playing on \"" + audio.DeviceName() + "\" (" + audio.ApiName() + ", " + std::to_string(audio.Rate()) +
           " Hz, " + std::to_string(audio.Buffer()) + " frames); MIDI: " + (inputs.empty() ? "none" : inputs) +
           (window.window ? "; space plays and stops, closing the window ends"
                          : "; space plays and stops, q or Ctrl+C ends"));

  std::string failure;
  KeyboardOpen();
  const Ending ending = Play(options, audio, engine, session, runLoop, window, failure);
  KeyboardClose();
  if (StderrIsTerminal())
    std::fprintf(stderr, "\n");
  const bool faded = ending == Ending::kStopped && FadeOutAndClose(audio, engine, runLoop);
  if (ending == Ending::kDeviceFailed)
  {
    // Said before the device is let go, which can take a while.
    Say(0, failure);
    audio.Abort();
  }
  midi.Close();
  window.Close();

  // Remember the state and the device even after a failure: what was set
  // up is worth keeping.
  bool ok = ending == Ending::kStopped;
  if (ok && !faded)
    Say(0, "the device did not play out the fade");
  std::vector<std::uint8_t> finalState;
  if (plugin.GetState(finalState))
  {
    if (rememberedState)
      settings.state = finalState;
    if (!options.stateOut.empty() && !WriteStateFile(ThrumwellHost::PathFromUtf8(options.stateOut), finalState))
    {
      Say(0, "cannot save the state to \"" + options.stateOut + "\"");
      ok = false;
    }
  }
  settings.device = AudioChoice{audio.ApiName(), audio.DeviceName(), audio.Rate(), audio.Buffer()};
  if (!settings.Save())
    Say(0, "cannot save the settings in \"" + PlayerSettings::Folder().u8string() + "\"");
  std::string summary = "played " + Clock(static_cast<double>(engine.Position()) / audio.Rate());
  summary += ", drop-outs: " + std::to_string(engine.DropOuts());
  if (engine.FailedBlocks() > 0)
    summary += ", failed blocks: " + std::to_string(engine.FailedBlocks());
#ifdef THRUMWELL_HAVE_INPUT_FILE
  if (!options.input.empty() && input.StarvedFrames() > 0)
    summary += ", input frames late: " + std::to_string(input.StarvedFrames());
#endif
  Say(0, summary);
#ifdef THRUMWELL_HAVE_INPUT_FILE
  if (input.Failed())
  {
    input.Stop();
    Say(0, input.Error());
    ok = false;
  }
#endif
  if (audio.Abandoned())
  {
    // The stream never closed and its callback may still reach the plug-in:
    // nothing is torn down, the process ends here.
    Say(0, "the device did not let go of its stream; ending without closing it");
    std::fflush(nullptr);
    std::_Exit(kExitFailure);
  }
  plugin.Destroy();
  ok = plugin.ReportViolations("thrumwell") && ok;
  // A console being closed waited for the fade and the settings.
  ThrumwellCli::StopHandled();
  return ok ? 0 : kExitFailure;
}
