#pragma once
// PlayerEngine: the player's audio callback, without the sound card. It plays
// the hosted plug-in block by block into two output channels, reports the
// transport the user controls (playing or stopped, with the position of the
// frames played) in the process context, delivers the notes of the MIDI
// inputs at sample offsets placed by their arrival time, and plays a
// session's parameter changes at their transport frames.
//
// Threads: Render runs on the audio thread; it allocates nothing, waits on
// nothing but the plug-in's own lock inside process, and does no I/O. The
// control calls (SetPlaying, RequestQuit) and the counters may be used on any
// thread; each is one atomic. Prepare and MidiSource are made before the
// audio starts, on the main thread.

#include <array>
#include <atomic>
#include <cstdint>

#include "host/HostEventList.h"
#include "host/HostParameterChanges.h"
#include "host/HostPlugin.h"
#include "tools/bed/NoiseBed.h"
#include "tools/player/MidiNoteQueue.h"
#include "tools/player/PlayerInput.h"
#include "tools/player/SessionQueue.h"

class PlayerEngine
{
public:
  static constexpr int kMaxMidiSources = 16;
  // Below this peak a block counts as silence (about -120 dB).
  static constexpr float kSilence = 1e-6f;

  explicit PlayerEngine(ThrumwellHost::HostPlugin& plugin) : plugin(plugin) {}

  // Before the first Render: the rate and the largest block the plug-in was
  // set up for (longer device blocks are played in pieces of that size).
  void Prepare(double sampleRate, int maxBlock);

  // Audio thread: fills frames samples of each channel. nowNs is the clock at
  // the call (PlayerClockNs); the block is taken to stand for the frames
  // before that moment, and each note that arrived since the last call is
  // placed at its offset within that span. underflow: the device reported a
  // gap in its output before this call.
  void Render(float* left, float* right, int frames, std::int64_t nowNs, bool underflow);

  // ---- Any thread ----------------------------------------------------------------
  void SetPlaying(bool play) { playRequested.store(play, std::memory_order_relaxed); }
  bool Playing() const { return playRequested.load(std::memory_order_relaxed); }
  // Ends playing for good: the transport stops (the instrument fades out on
  // its own), held notes are released and further notes ignored. Silent()
  // tells when the output has died away.
  void RequestQuit() { quitRequested.store(true, std::memory_order_release); }
  bool Silent() const { return silentAfterQuit.load(std::memory_order_acquire); }

  std::int64_t Position() const { return position.load(std::memory_order_relaxed); }
  std::int64_t Blocks() const { return blocks.load(std::memory_order_relaxed); }
  std::int64_t LastCallNs() const { return lastCallNs.load(std::memory_order_relaxed); }
  int DropOuts() const { return dropOuts.load(std::memory_order_relaxed); }
  // Blocks whose process call failed (their output is silence).
  int FailedBlocks() const { return failedBlocks.load(std::memory_order_relaxed); }
  // Non-finite samples replaced by silence before they reached the device.
  int BadSamples() const { return badSamples.load(std::memory_order_relaxed); }
  // Notes the queues had no room for.
  std::uint32_t DroppedNotes() const;
  // The events handed to the plug-in with the last piece played. Audio thread
  // (or a test that calls Render itself).
  ThrumwellHost::HostEventList& Events() { return events; }

  // ---- Main thread, before the audio starts ------------------------------------
  // The queue of one more MIDI input, or null when all are taken.
  MidiNoteQueue* AddMidiSource();
  // The session's chunks, filled ahead by the main thread: their changes are
  // played while the transport runs, at the frames played.
  void SetSession(SessionQueue* queue) { session = queue; }
  // A noise bed, configured for the rate, fed into the plug-in's audio input
  // (which the caller has activated) while the transport runs; it fades in
  // and out with the transport over kBedFadeSeconds.
  void SetNoise(NoiseBed* bed) { noise = bed; }
  // An audio file into the same input, the same way (its reader started);
  // builds without libsndfile play none.
  void SetInput(PlayerInput* file) { input = file; }
  static constexpr double kBedFadeSeconds = 0.05;

private:
  // Moves the notes that arrived before untilNs into the event list at their
  // offsets within a piece of n frames that ends at endNs.
  void TakeNotes(std::int64_t endNs, int n, std::int64_t untilNs, bool discard);
  void ReleaseHeldNotes();
  // Puts the session's changes for the piece that starts at the transport's
  // frame into sessionChanges (program changes and overfull changes go out
  // in flushes of their own first); returns the piece's length, cut at the
  // end of the chunk under way.
  int TakeSessionChanges(int n);
  // A process call of no samples with the session changes gathered so far.
  void FlushSessionChanges();
  // The chunk's program change, in a flush of its own after the changes
  // gathered before it.
  void DeliverProgram(const SessionChunk& chunk);
  // Fills the plug-in's input with the bed for a piece of n frames.
  void FeedBed(int n, bool playing);
  // One process call for a piece of at most maxBlock frames; its peak.
  float ProcessPiece(float* left, float* right, int n, bool playing);

  ThrumwellHost::HostPlugin& plugin;
  double rate = 48000.0;
  int maxBlock = 0;
  double framesPerNs = 48000.0 * 1e-9;

  // Only touched on the audio thread once rendering has begun.
  ThrumwellHost::HostEventList events;
  std::array<std::uint8_t, 128> held{};  // note-ons sent minus note-offs, by pitch
  ThrumwellHost::HostParameterChanges sessionChanges;  // storage reserved up front
  int sessionPoints = 0;                               // points in sessionChanges, all queues
  SessionQueue* session = nullptr;                     // set before the audio starts
  NoiseBed* noise = nullptr;                           // set before the audio starts
  PlayerInput* input = nullptr;                        // set before the audio starts
  double bedGain = 0.0;                                // the bed's fade, 0..1
  bool wasPlaying = false;
  bool quitApplied = false;
  int blocksSinceQuit = 0;
  std::int64_t frame = 0;  // transport position, advanced while playing

  std::array<MidiNoteQueue, kMaxMidiSources> queues;
  std::atomic<int> sources{0};

  std::atomic<bool> playRequested{false};
  std::atomic<bool> quitRequested{false};
  std::atomic<bool> silentAfterQuit{false};
  std::atomic<std::int64_t> position{0};
  std::atomic<std::int64_t> blocks{0};
  std::atomic<std::int64_t> lastCallNs{0};
  std::atomic<int> dropOuts{0};
  std::atomic<int> failedBlocks{0};
  std::atomic<int> badSamples{0};
};
