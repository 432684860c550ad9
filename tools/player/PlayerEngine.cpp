#include "tools/player/PlayerEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/HostTransport.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The bits of +infinity: magnitudes at or above it are infinite or NaN.
constexpr std::uint32_t kInfinityBits = 0x7F800000u;

}  // namespace

void PlayerEngine::Prepare(double sampleRate, int largestBlock)
{
  rate = sampleRate;
  maxBlock = largestBlock;
  framesPerNs = sampleRate * 1e-9;
}

MidiNoteQueue* PlayerEngine::AddMidiSource()
{
  const int index = sources.load(std::memory_order_relaxed);
  if (index >= kMaxMidiSources)
    return nullptr;
  sources.store(index + 1, std::memory_order_release);
  return &queues[static_cast<std::size_t>(index)];
}

std::uint32_t PlayerEngine::DroppedNotes() const
{
  std::uint32_t dropped = 0;
  for (const MidiNoteQueue& queue : queues)
    dropped += queue.Dropped();
  return dropped;
}

void PlayerEngine::ReleaseHeldNotes()
{
  for (int pitch = 0; pitch < 128; ++pitch)
    for (; held[static_cast<std::size_t>(pitch)] > 0; --held[static_cast<std::size_t>(pitch)])
      events.NoteOff(0, static_cast<int16>(pitch));
}

void PlayerEngine::TakeNotes(std::int64_t endNs, int n, std::int64_t untilNs, bool discard)
{
  const int count = sources.load(std::memory_order_acquire);
  const double startNs = static_cast<double>(endNs) - n / framesPerNs;
  for (;;)
  {
    // The earliest waiting note of all inputs, so the list stays in time order.
    MidiNoteQueue* earliest = nullptr;
    MidiNote note;
    for (int i = 0; i < count; ++i)
    {
      MidiNote candidate;
      MidiNoteQueue& queue = queues[static_cast<std::size_t>(i)];
      if (queue.Peek(candidate) && candidate.timeNs <= untilNs && (!earliest || candidate.timeNs < note.timeNs))
      {
        earliest = &queue;
        note = candidate;
      }
    }
    if (!earliest)
      return;
    earliest->Pop();
    if (discard)
      continue;
    const double offset = std::floor((static_cast<double>(note.timeNs) - startNs) * framesPerNs);
    const int32 at = static_cast<int32>(std::clamp(offset, 0.0, static_cast<double>(n - 1)));
    std::uint8_t& sounding = held[note.pitch & 127u];
    if (note.on)
    {
      if (events.NoteOn(at, note.pitch & 127, ThrumwellHost::HostEventList::VelocityFromMidi(note.velocity)) &&
          sounding < 255)
        ++sounding;
    }
    else if (events.NoteOff(at, note.pitch & 127) && sounding > 0)
    {
      --sounding;
    }
  }
}

float PlayerEngine::ProcessPiece(float* left, float* right, int n, bool playing)
{
  ProcessContext context = ThrumwellHost::HostTransport(rate, frame, playing);
  ProcessData& data = plugin.PrepareData(n, nullptr, &events, &context);
  // The plug-in writes straight into the device's buffers.
  float* channels[2] = {left, right};
  data.outputs[0].channelBuffers32 = channels;
  if (plugin.Processor()->process(data) != kResultOk)
  {
    failedBlocks.fetch_add(1, std::memory_order_relaxed);
    std::fill_n(left, n, 0.0f);
    std::fill_n(right, n, 0.0f);
    return 0.0f;
  }
  if (playing)
  {
    frame += n;
    position.store(frame, std::memory_order_relaxed);
  }
  // Nothing but finite samples reaches the device. The largest magnitude's
  // bit pattern gives the peak and, at or above infinity's, tells that a
  // sample is not finite: one integer maximum per sample, which vectorizes.
  std::uint32_t largest = 0;
  for (const float* channel : channels)
    for (int i = 0; i < n; ++i)
    {
      std::uint32_t bits;
      std::memcpy(&bits, &channel[i], sizeof(bits));
      largest = std::max(largest, bits & 0x7FFFFFFFu);
    }
  if (largest >= kInfinityBits)
  {
    largest = 0;
    int bad = 0;
    for (float* channel : channels)
      for (int i = 0; i < n; ++i)
      {
        if (!std::isfinite(channel[i]))
        {
          channel[i] = 0.0f;
          ++bad;
        }
        std::uint32_t bits;
        std::memcpy(&bits, &channel[i], sizeof(bits));
        largest = std::max(largest, bits & 0x7FFFFFFFu);
      }
    badSamples.fetch_add(bad, std::memory_order_relaxed);
  }
  float peak;
  std::memcpy(&peak, &largest, sizeof(peak));
  return peak;
}

void PlayerEngine::Render(float* left, float* right, int frames, std::int64_t nowNs, bool underflow)
{
  lastCallNs.store(nowNs, std::memory_order_relaxed);
  if (underflow)
    dropOuts.fetch_add(1, std::memory_order_relaxed);
  if (frames <= 0)
    return;
  if (maxBlock <= 0)
  {
    std::fill_n(left, frames, 0.0f);
    std::fill_n(right, frames, 0.0f);
    return;
  }
  const bool quitting = quitRequested.load(std::memory_order_acquire);
  const bool playing = playRequested.load(std::memory_order_relaxed) && !quitting;
  float peak = 0.0f;
  for (int start = 0; start < frames; start += maxBlock)
  {
    const int n = std::min(maxBlock, frames - start);
    events.Clear();
    // Stopping ends the notes that sound, as a DAW's stop does.
    if ((wasPlaying && !playing) || (quitting && !quitApplied))
      ReleaseHeldNotes();
    wasPlaying = playing;
    const std::int64_t endNs = nowNs - static_cast<std::int64_t>((frames - start - n) / framesPerNs);
    TakeNotes(endNs, n, start + n >= frames ? nowNs : endNs, quitting);
    peak = std::max(peak, ProcessPiece(left + start, right + start, n, playing));
    quitApplied = quitting;
  }
  // The block that stopped the transport holds the fade; silence is judged
  // from the blocks after it.
  if (quitting && peak < kSilence && blocksSinceQuit > 0)
    silentAfterQuit.store(true, std::memory_order_release);
  if (quitting)
    ++blocksSinceQuit;
  blocks.fetch_add(1, std::memory_order_relaxed);
}
