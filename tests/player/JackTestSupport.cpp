#include "tests/player/JackTestSupport.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <jack/midiport.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <system_error>

namespace PlayerTest
{

void SleepMs(int milliseconds) { usleep(static_cast<useconds_t>(milliseconds) * 1000); }

namespace {

// Starts program with args; the child's output goes to outputFile (or is
// dropped), environment entries are added to its own.
int Spawn(const std::string& program, const std::vector<std::string>& args,
          const std::vector<std::string>& environment, const std::string& outputFile, int* inputPipe = nullptr)
{
  int pipeEnds[2] = {-1, -1};
  if (inputPipe && pipe(pipeEnds) != 0)
    return -1;
  // Everything the child needs is made before fork: the test process has
  // threads (JACK's), so the child may only call what is safe after fork.
  std::vector<std::string> entries;
  for (char** e = environ; *e; ++e)
  {
    const std::string entry = *e;
    const std::string key = entry.substr(0, entry.find('=') + 1);
    const bool replaced = std::any_of(environment.begin(), environment.end(),
                                      [&](const std::string& mine) { return mine.compare(0, key.size(), key) == 0; });
    if (!replaced)
      entries.push_back(entry);
  }
  entries.insert(entries.end(), environment.begin(), environment.end());
  std::vector<char*> envp;
  for (std::string& entry : entries)
    envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> words = args;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  const std::string output = outputFile.empty() ? "/dev/null" : outputFile;

  const pid_t pid = fork();
  if (pid != 0)
  {
    if (inputPipe)
    {
      close(pipeEnds[0]);
      *inputPipe = pipeEnds[1];
    }
    return pid;
  }
  // A test that dies takes its servers and players with it.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  const int in = inputPipe ? pipeEnds[0] : open("/dev/null", O_RDONLY);
  if (in >= 0)
  {
    dup2(in, STDIN_FILENO);
    close(in);
  }
  if (inputPipe)
    close(pipeEnds[1]);
  const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out >= 0)
  {
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    close(out);
  }
  execvpe(program.c_str(), argv.data(), envp.data());
  _exit(127);
}

// The exit status of pid, waiting at most `seconds`; -1 after a kill or a signal.
int Reap(int pid, double seconds)
{
  int status = 0;
  for (int i = 0; i < static_cast<int>(seconds * 100); ++i)
  {
    if (waitpid(pid, &status, WNOHANG) == pid)
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    SleepMs(10);
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

jack_client_t* OpenClient(const char* name, const std::string& server)
{
  jack_status_t status{};
  return jack_client_open(name, static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status,
                          server.c_str());
}

}  // namespace

bool HaveJackd()
{
  return std::system("command -v jackd >/dev/null 2>&1") == 0;
}

JackServer::JackServer(bool synchronous, const std::string& log, bool realtime)
{
  // JACK keeps a machine-wide table of a few server names, and a server that
  // dies with clients attached leaves its entry behind for its name only. So
  // the names are the same in every run of one program (the nth server it
  // starts), which reuses the entries, and differ between build trees, whose
  // tests may run at the same time.
  static int counter = 0;
  std::error_code error;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe", error).string();
  name = "thrumwell-" + std::to_string(std::hash<std::string>{}(self) % 1000000) + "-" + std::to_string(++counter);
  std::vector<std::string> args = {realtime ? "-R" : "-r", "-n", name, "-d", "dummy", "-r", "48000", "-p", "128"};
  if (synchronous)
    args.insert(args.begin() + 1, {"-S", "-t", "2000"});
  pid = Spawn("jackd", args, {"JACK_NO_AUDIO_RESERVATION=1"}, log);
  // Asked from a process of its own: libjack keeps per-server state in the
  // process that talks to a server, and this one outlives the server.
  ChildProcess wait("jack_wait", {"-s", name, "-w", "-t", "10"}, {}, "");
  if (wait.Wait(15.0) != 0)
    Kill();
}

JackServer::~JackServer() { Kill(); }

void JackServer::Kill()
{
  if (pid <= 0)
    return;
  kill(pid, SIGTERM);
  Reap(pid, 5.0);
  pid = -1;
}

JackRecorder::JackRecorder(const std::string& server)
{
  recorded[0].assign(kMaxFrames, 0.0f);
  recorded[1].assign(kMaxFrames, 0.0f);
  client = OpenClient("recorder", server);
  if (!client)
    return;
  inputs[0] = jack_port_register(client, "in_1", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  inputs[1] = jack_port_register(client, "in_2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  midiOut = jack_port_register(client, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  jack_set_process_callback(client, OnProcess, this);
  if (!inputs[0] || !inputs[1] || !midiOut || jack_activate(client) != 0)
  {
    jack_client_close(client);
    client = nullptr;
  }
}

JackRecorder::~JackRecorder()
{
  if (client)
  {
    jack_deactivate(client);
    jack_client_close(client);
  }
}

int JackRecorder::OnProcess(jack_nframes_t n, void* data)
{
  auto* self = static_cast<JackRecorder*>(data);
  const std::size_t at = self->frames.load(std::memory_order_relaxed);
  const std::size_t take = std::min<std::size_t>(n, kMaxFrames - at);
  for (int c = 0; c < 2; ++c)
  {
    const auto* in = static_cast<const float*>(jack_port_get_buffer(self->inputs[c], n));
    std::copy(in, in + take, self->recorded[c].begin() + static_cast<std::ptrdiff_t>(at));
  }
  self->frames.store(at + take, std::memory_order_release);
  void* midi = jack_port_get_buffer(self->midiOut, n);
  jack_midi_clear_buffer(midi);
  if (self->messageWaiting.load(std::memory_order_acquire))
  {
    jack_midi_event_write(midi, 0, self->message, 3);
    self->messageWaiting.store(false, std::memory_order_release);
  }
  return 0;
}

bool JackRecorder::MidiConnected() const { return client && jack_port_connected(midiOut) > 0; }

void JackRecorder::Send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
  WaitFor(1.0, [&] { return !messageWaiting.load(std::memory_order_acquire); });
  message[0] = status;
  message[1] = data1;
  message[2] = data2;
  messageWaiting.store(true, std::memory_order_release);
  WaitFor(1.0, [&] { return !messageWaiting.load(std::memory_order_acquire); });
}

float JackRecorder::RecentPeak(std::size_t span) const
{
  const std::size_t end = Frames();
  const std::size_t begin = end > span ? end - span : 0;
  float peak = 0.0f;
  for (int c = 0; c < 2; ++c)
    for (std::size_t i = begin; i < end; ++i)
      peak = std::max(peak, std::fabs(recorded[c][i]));
  return peak;
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::vector<std::string>& environment, const std::string& errorFile, bool withInput)
  : pid(Spawn(program, args, environment, errorFile, withInput ? &input : nullptr))
{
}

ChildProcess::~ChildProcess()
{
  if (pid > 0)
    Wait(0.0);
  if (input >= 0)
    close(input);
}

void ChildProcess::Type(const std::string& text)
{
  if (input >= 0 && write(input, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
    close(input), input = -1;
}

void ChildProcess::Signal(int signal)
{
  if (pid > 0)
    kill(pid, signal);
}

bool ChildProcess::Exited()
{
  if (pid <= 0)
    return true;
  int raw = 0;
  if (waitpid(pid, &raw, WNOHANG) != pid)
    return false;
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  pid = -1;
  return true;
}

int ChildProcess::Wait(double seconds)
{
  if (pid > 0)
  {
    status = Reap(pid, seconds);
    pid = -1;
  }
  return status;
}

double Frequency(const std::vector<float>& samples, std::size_t begin, std::size_t end)
{
  double first = -1.0, last = -1.0;
  int crossings = 0;
  for (std::size_t i = begin + 1; i < end; ++i)
    if (samples[i - 1] < 0.0f && samples[i] >= 0.0f)
    {
      const double at = static_cast<double>(i - 1) + samples[i - 1] / (samples[i - 1] - samples[i]);
      if (first < 0.0)
        first = at;
      last = at;
      ++crossings;
    }
  return crossings < 2 ? 0.0 : (crossings - 1) * JackRecorder::kRate / (last - first);
}

float Peak(const std::vector<float>& samples, std::size_t begin, std::size_t end)
{
  float peak = 0.0f;
  for (std::size_t i = begin; i < end; ++i)
    peak = std::max(peak, std::fabs(samples[i]));
  return peak;
}

float LargestStep(const std::vector<float>& samples, std::size_t begin, std::size_t end)
{
  float step = 0.0f;
  for (std::size_t i = begin + 1; i < end; ++i)
    step = std::max(step, std::fabs(samples[i] - samples[i - 1]));
  return step;
}

std::pair<std::size_t, std::size_t> Sounding(const JackRecorder& recorder)
{
  const std::size_t frames = recorder.Frames();
  std::size_t first = frames, last = 0;
  for (int c = 0; c < 2; ++c)
    for (std::size_t i = 0; i < frames; ++i)
      if (std::fabs(recorder.Channel(c)[i]) > 1e-6f)
      {
        first = std::min(first, i);
        last = std::max(last, i + 1);
      }
  return {first, last};
}

std::vector<std::pair<std::size_t, std::size_t>> SoundingSpans(const JackRecorder& recorder, std::size_t from,
                                                               std::size_t gap)
{
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  const std::size_t frames = recorder.Frames();
  for (std::size_t i = from; i < frames; ++i)
  {
    if (std::fabs(recorder.Channel(0)[i]) <= 1e-6f && std::fabs(recorder.Channel(1)[i]) <= 1e-6f)
      continue;
    if (!spans.empty() && i - spans.back().second < gap)
      spans.back().second = i + 1;
    else
      spans.push_back({i, i + 1});
  }
  return spans;
}

std::string ReadText(const std::string& path)
{
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int ReportedDropOuts(const std::string& errors)
{
  const std::string key = "drop-outs: ";
  const std::size_t at = errors.rfind(key);
  return at == std::string::npos ? -1 : std::atoi(errors.c_str() + at + key.size());
}

std::string Clicks(const JackRecorder& recorder, std::size_t from, std::size_t to, float allowed, int dropOuts)
{
  to = std::min(to, recorder.Frames());
  std::vector<std::pair<std::size_t, std::size_t>> ranges;
  if (dropOuts == 0)
    ranges.push_back({from, to});
  else
    for (const auto& [first, last] : SoundingSpans(recorder, from, JackRecorder::kRate / 10))
      for (const std::size_t edge : {first, last})
        ranges.push_back({std::max(from, edge - std::min(edge, std::size_t{2048})), std::min(to, edge + 2048)});
  std::string clicks;
  for (const auto& [begin, end] : ranges)
    for (int c = 0; c < 2; ++c)
    {
      const float step = LargestStep(recorder.Channel(c), begin, end);
      if (step > allowed)
        clicks += "a step of " + std::to_string(step) + " in channel " + std::to_string(c) + " within frames " +
                  std::to_string(begin - from) + " to " + std::to_string(end - from) + "\n";
    }
  return clicks;
}

}  // namespace PlayerTest
