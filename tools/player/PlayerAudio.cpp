#include "tools/player/PlayerAudio.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>

#include <rtaudio/RtAudio.h>

#include "tools/player/MidiNoteQueue.h"
#include "tools/player/PlayerEngine.h"

namespace {

// How long a failed device's stream is given to close.
constexpr double kAbortSeconds = 5.0;

// RtAudio's error callback carries no user data; one stream per process, so
// the first error of the open stream is kept here. Set on whatever thread
// RtAudio reports from, read on the main thread.
std::atomic<bool> streamFailed{false};
std::mutex streamErrorLock;
std::string streamError;

void OnStreamError(RtAudioError::Type type, const std::string& text)
{
  if (type == RtAudioError::WARNING || type == RtAudioError::DEBUG_WARNING)
    return;
  {
    std::lock_guard<std::mutex> hold(streamErrorLock);
    if (streamError.empty())
      streamError = text;
  }
  streamFailed.store(true, std::memory_order_release);
}

std::string TakeStreamError()
{
  std::lock_guard<std::mutex> hold(streamErrorLock);
  std::string text = streamError.empty() ? std::string("the stream stopped") : streamError;
  streamError.clear();
  return text;
}

// The audio callback: the engine fills the planar float channels.
int OnAudio(void* output, void*, unsigned int frames, double, RtAudioStreamStatus status, void* user)
{
  auto* engine = static_cast<PlayerEngine*>(user);
  auto* left = static_cast<float*>(output);
  engine->Render(left, left + frames, static_cast<int>(frames), PlayerClockNs(),
                 (status & RTAUDIO_OUTPUT_UNDERFLOW) != 0);
  return 0;
}

struct Device
{
  unsigned int id;
  RtAudio::DeviceInfo info;
};

// The devices of a system that could be probed; RtAudio throws for devices
// that vanish between counting and asking.
std::vector<Device> Devices(RtAudio& audio)
{
  std::vector<Device> devices;
  unsigned int count = 0;
  try
  {
    count = audio.getDeviceCount();
  }
  catch (const RtAudioError&)
  {
    return devices;
  }
  for (unsigned int id = 0; id < count; ++id)
  {
    try
    {
      RtAudio::DeviceInfo info = audio.getDeviceInfo(id);
      if (info.probed)
        devices.push_back({id, info});
    }
    catch (const RtAudioError&)
    {
    }
  }
  return devices;
}

std::vector<Device> OutputDevices(RtAudio& audio)
{
  std::vector<Device> devices = Devices(audio);
  devices.erase(std::remove_if(devices.begin(), devices.end(), [](const Device& d) { return d.info.outputChannels == 0; }),
                devices.end());
  return devices;
}

std::string RatesText(const std::vector<unsigned int>& rates)
{
  std::string text;
  for (unsigned int r : rates)
    text += (text.empty() ? "" : ", ") + std::to_string(r);
  return text.empty() ? std::string("none") : text + " Hz";
}

// "0 "NAME", 1 "NAME"": the alternatives a refusal names.
std::string DevicesText(const std::vector<Device>& devices)
{
  std::string text;
  for (const Device& d : devices)
    text += (text.empty() ? "" : ", ") + std::to_string(d.id) + " \"" + d.info.name + "\"";
  return text.empty() ? std::string("none") : text;
}

// A whole decimal number, for a device given by its number.
bool IsNumber(const std::string& text, unsigned int& value)
{
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  value = static_cast<unsigned int>(std::strtoul(text.c_str(), nullptr, 10));
  return true;
}

std::string ApisText()
{
  std::string text;
  for (const std::string& name : PlayerAudio::Apis())
    text += (text.empty() ? "" : ", ") + name;
  return text;
}

}  // namespace

PlayerAudio::PlayerAudio() = default;

PlayerAudio::~PlayerAudio() { Close(); }

std::vector<std::string> PlayerAudio::Apis()
{
  std::vector<RtAudio::Api> apis;
  RtAudio::getCompiledApi(apis);
  std::vector<std::string> names;
  for (RtAudio::Api api : apis)
    if (api != RtAudio::RTAUDIO_DUMMY)
      names.push_back(RtAudio::getApiName(api));
  return names;
}

void PlayerAudio::List(const std::string& api, std::FILE* out)
{
  for (const std::string& name : Apis())
  {
    if (!api.empty() && name != api)
      continue;
    RtAudio audio(RtAudio::getCompiledApiByName(name));
    audio.showWarnings(false);
    const std::vector<Device> devices = OutputDevices(audio);
    std::fprintf(out, "%s:%s\n", name.c_str(), devices.empty() ? " no output devices" : "");
    for (const Device& d : devices)
      std::fprintf(out, "  %u\t%s\t%u channels\t%s%s\n", d.id, d.info.name.c_str(), d.info.outputChannels,
                   RatesText(d.info.sampleRates).c_str(), d.info.isDefaultOutput ? "\tdefault" : "");
  }
}

int PlayerAudio::Choose(const AudioChoice& choice)
{
  Close();
  audio.reset();
  const std::vector<std::string> apis = Apis();
  if (!choice.api.empty() && std::find(apis.begin(), apis.end(), choice.api) == apis.end())
  {
    error = "the audio system \"" + choice.api + "\" is not available in this build; it offers " + ApisText();
    return kBadChoice;
  }
  // Without a named system, the first one that has an output device.
  std::vector<Device> devices;
  for (const std::string& name : apis)
  {
    if (!choice.api.empty() && name != choice.api)
      continue;
    audio = std::make_unique<RtAudio>(RtAudio::getCompiledApiByName(name));
    audio->showWarnings(false);
    devices = OutputDevices(*audio);
    apiName = name;
    if (!devices.empty())
      break;
  }
  if (devices.empty())
  {
    error = choice.api.empty() ? "no audio system (" + ApisText() + ") has an output device"
                               : "the audio system \"" + choice.api + "\" has no output device (is it running?); "
                                 "the systems of this build are " + ApisText();
    return kDeviceFailure;
  }

  const Device* chosen = nullptr;
  unsigned int number = 0;
  if (choice.device.empty())
  {
    unsigned int preferred = 0;
    try
    {
      preferred = audio->getDefaultOutputDevice();
    }
    catch (const RtAudioError&)
    {
    }
    for (const Device& d : devices)
      if (d.id == preferred || (!chosen && d.info.isDefaultOutput))
        chosen = &d;
    if (!chosen)
      chosen = &devices.front();
  }
  else
  {
    // An exact name first, then a number, then the one device whose name contains the text.
    for (const Device& d : devices)
      if (d.info.name == choice.device)
        chosen = &d;
    if (!chosen && IsNumber(choice.device, number))
      for (const Device& d : devices)
        if (d.id == number)
          chosen = &d;
    int containing = 0;
    const Device* contains = nullptr;
    for (const Device& d : devices)
      if (!chosen && d.info.name.find(choice.device) != std::string::npos)
      {
        contains = &d;
        ++containing;
      }
    if (!chosen && containing == 1)
      chosen = contains;
    if (!chosen)
    {
      error = "no output device \"" + choice.device + "\" in " + apiName + "; its output devices are " +
              DevicesText(devices);
      return kBadChoice;
    }
  }
  const RtAudio::DeviceInfo& info = chosen->info;
  deviceId = chosen->id;
  deviceName = info.name;
  if (info.outputChannels < 2)
  {
    error = "the device \"" + deviceName + "\" has no stereo output; the output devices of " + apiName + " are " +
            DevicesText(devices);
    return kBadChoice;
  }
  const std::vector<unsigned int>& rates = info.sampleRates;
  auto offers = [&](int r) { return std::find(rates.begin(), rates.end(), static_cast<unsigned int>(r)) != rates.end(); };
  if (choice.rate > 0)
  {
    if (!rates.empty() && !offers(choice.rate))
    {
      error = "the device \"" + deviceName + "\" does not play at " + std::to_string(choice.rate) + " Hz; it offers " +
              RatesText(rates);
      return kBadChoice;
    }
    rate = choice.rate;
  }
  else if (info.preferredSampleRate > 0 && (rates.empty() || offers(static_cast<int>(info.preferredSampleRate))))
    rate = static_cast<int>(info.preferredSampleRate);
  else if (rates.empty() || offers(48000))
    rate = 48000;
  else
    rate = static_cast<int>(rates.back());
  buffer = choice.buffer > 0 ? choice.buffer : 256;
  return 0;
}

int PlayerAudio::Open(PlayerEngine& engine)
{
  RtAudio::StreamParameters output;
  output.deviceId = deviceId;
  output.nChannels = 2;
  RtAudio::StreamOptions options;
  options.flags = RTAUDIO_NONINTERLEAVED | RTAUDIO_SCHEDULE_REALTIME;
  options.streamName = "thrumwell";
  unsigned int frames = static_cast<unsigned int>(buffer);
  streamFailed.store(false);
  TakeStreamError();
  try
  {
    audio->openStream(&output, nullptr, RTAUDIO_FLOAT32, static_cast<unsigned int>(rate), &frames, OnAudio, &engine,
                      &options, OnStreamError);
  }
  catch (const RtAudioError& e)
  {
    error = "cannot open the device \"" + deviceName + "\" (" + apiName + ", " + std::to_string(rate) +
            " Hz): " + e.getMessage();
    return kDeviceFailure;
  }
  if (!audio->isStreamOpen() || streamFailed.load())
  {
    error = "cannot open the device \"" + deviceName + "\" (" + apiName + ", " + std::to_string(rate) +
            " Hz): " + TakeStreamError();
    return kDeviceFailure;
  }
  open = true;
  buffer = static_cast<int>(frames);
  try
  {
    const unsigned int granted = audio->getStreamSampleRate();
    if (granted > 0)
      rate = static_cast<int>(granted);
  }
  catch (const RtAudioError&)
  {
  }
  return 0;
}

int PlayerAudio::Start()
{
  try
  {
    audio->startStream();
  }
  catch (const RtAudioError& e)
  {
    error = "cannot start the device \"" + deviceName + "\": " + e.getMessage();
    return kDeviceFailure;
  }
  if (streamFailed.load() || !audio->isStreamRunning())
  {
    error = "cannot start the device \"" + deviceName + "\": " + TakeStreamError();
    return kDeviceFailure;
  }
  started = true;
  return 0;
}

bool PlayerAudio::Failed() const
{
  if (!started)
    return false;
  if (streamFailed.load(std::memory_order_acquire))
    return true;
  return !audio->isStreamOpen() || !audio->isStreamRunning();
}

std::string PlayerAudio::FailureText()
{
  std::string devices;
  for (const std::string& name : Apis())
  {
    RtAudio other(RtAudio::getCompiledApiByName(name));
    other.showWarnings(false);
    devices += (devices.empty() ? "" : "; ") + name + ": " + DevicesText(OutputDevices(other));
  }
  return TakeStreamError() + "; the output devices now are " + devices;
}

void PlayerAudio::Close() { End(true); }

void PlayerAudio::Abort()
{
  if (!audio || !open || abandoned)
    return;
  auto closed = std::make_shared<std::promise<void>>();
  std::future<void> done = closed->get_future();
  std::thread([this, closed] {
    End(false);
    closed->set_value();
  }).detach();
  if (done.wait_for(std::chrono::duration<double>(kAbortSeconds)) != std::future_status::ready)
    abandoned = true;
}

void PlayerAudio::End(bool playOut)
{
  if (!audio || !open)
    return;
  try
  {
    if (audio->isStreamRunning())
    {
      if (playOut)
        audio->stopStream();
      else
        audio->abortStream();
    }
    if (audio->isStreamOpen())
      audio->closeStream();
  }
  catch (const RtAudioError&)
  {
  }
  open = started = false;
}
