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

void PlayerEngine::FlushSessionChanges()
{
  ProcessContext context = ThrumwellHost::HostTransport(rate, frame, true);
  ProcessData& data = plugin.PrepareData(0, &sessionChanges, nullptr, &context);
  if (plugin.Processor()->process(data) != kResultOk)
    failedBlocks.fetch_add(1, std::memory_order_relaxed);
  sessionChanges.Clear();
  sessionPoints = 0;
}

void PlayerEngine::DeliverProgram(const SessionChunk& chunk)
{
  sessionChanges.Add(chunk.programId, 0, chunk.programValue);
  FlushSessionChanges();
  session->ProgramDelivered();
}

int PlayerEngine::TakeSessionChanges(int n)
{
  const std::uint64_t at = static_cast<std::uint64_t>(frame);
  // Chunks the transport has passed (a program change has no frames; the
  // main thread may also have been late): their changes now, at the start
  // of the piece, in the order written.
  for (const SessionChunk* chunk = session->Front(); chunk && chunk->End() <= at; chunk = session->Front())
  {
    if (sessionPoints + SessionChunk::kMaxPoints > ThrumwellHost::HostParamValueQueue::kMaxPoints)
      FlushSessionChanges();
    if (chunk->program)
      DeliverProgram(*chunk);
    for (int i = 0; i < chunk->count; ++i)
      sessionChanges.Add(chunk->points[static_cast<std::size_t>(i)].id, 0,
                         chunk->points[static_cast<std::size_t>(i)].normalized);
    sessionPoints += chunk->count;
    session->Pop();
  }
  const SessionChunk* chunk = session->Front();
  if (!chunk)
    return n;
  if (chunk->start > at)
    return static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(n), chunk->start - at));
  if (chunk->program && chunk->start == at)
    DeliverProgram(*chunk);
  const std::int32_t from = static_cast<std::int32_t>(at - chunk->start);
  n = std::min(n, chunk->length - from);
  for (int i = 0; i < chunk->count; ++i)
  {
    const SessionChunk::Point& point = chunk->points[static_cast<std::size_t>(i)];
    if (point.offset >= from && point.offset < from + n)
      sessionChanges.Add(point.id, point.offset - from, point.normalized);
  }
  sessionPoints += chunk->count;
  if (from + n >= chunk->length)
    session->Pop();
  return n;
}

void PlayerEngine::FeedBed(int n, bool playing)
{
  float* in[2] = {plugin.Channel32(kInput, 0, 0), plugin.Channel32(kInput, 0, 1)};
  if (!in[0] || !in[1])
    return;
  std::fill_n(in[0], n, 0.0f);
  std::fill_n(in[1], n, 0.0f);
  const double target = playing ? 1.0 : 0.0;
  if (bedGain == 0.0 && target == 0.0)
    return;
  if (noise)
    noise->Add(in[0], in[1], n);
#ifdef THRUMWELL_HAVE_INPUT_FILE
  if (input)
    input->Add(in[0], in[1], n);
#endif
  const double step = 1.0 / (kBedFadeSeconds * rate);
  for (int i = 0; i < n; ++i)
  {
    bedGain = target > bedGain ? std::min(target, bedGain + step) : std::max(target, bedGain - step);
    in[0][i] = static_cast<float>(in[0][i] * bedGain);
    in[1][i] = static_cast<float>(in[1][i] * bedGain);
  }
}

float PlayerEngine::ProcessPiece(float* left, float* right, int n, bool playing)
{
  if (noise || input)
    FeedBed(n, playing);
  ProcessContext context = ThrumwellHost::HostTransport(rate, frame, playing);
  IParameterChanges* changes = sessionChanges.getParameterCount() > 0 ? &sessionChanges : nullptr;
  ProcessData& data = plugin.PrepareData(n, changes, &events, &context);
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
  for (int start = 0; start < frames;)
  {
    int n = std::min(maxBlock, frames - start);
    sessionChanges.Clear();
    sessionPoints = 0;
    if (session && playing)
      n = TakeSessionChanges(n);
    events.Clear();
    // Stopping ends the notes that sound, as a DAW's stop does.
    if ((wasPlaying && !playing) || (quitting && !quitApplied))
      ReleaseHeldNotes();
    wasPlaying = playing;
    const std::int64_t endNs = nowNs - static_cast<std::int64_t>((frames - start - n) / framesPerNs);
    TakeNotes(endNs, n, start + n >= frames ? nowNs : endNs, quitting);
    peak = std::max(peak, ProcessPiece(left + start, right + start, n, playing));
    quitApplied = quitting;
    start += n;
  }
  // The block that stopped the transport holds the fade; silence is judged
  // from the blocks after it.
  if (quitting && peak < kSilence && blocksSinceQuit > 0)
    silentAfterQuit.store(true, std::memory_order_release);
  if (quitting)
    ++blocksSinceQuit;
  blocks.fetch_add(1, std::memory_order_relaxed);
}
