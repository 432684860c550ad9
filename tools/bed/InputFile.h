#pragma once
// An audio file played into the instrument's input: any file libsndfile
// reads (WAV, FLAC, Ogg Vorbis, Opus, MP3 ...), mono spread to both
// channels, resampled with libsamplerate when its rate differs from the
// session's, looped (or played once, then silence), at a gain in dB. A file
// at the session's rate passes through sample for sample.
//
// Files of more than two channels, of no frames, or that libsndfile cannot
// open are refused by Open with one line. Read allocates nothing: its
// buffers are made by Open.

#include <cstdint>
#include <string>
#include <vector>

struct sf_private_tag;
struct SRC_STATE_tag;

class InputFile
{
public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool Open(const std::string& path, double rate, bool loop, double gainDb, std::string& error);
  // Adds the next n frames to left and right; false (with Error()) when the
  // file fails to read part way, after which it adds silence.
  bool Add(float* left, float* right, int n);
  bool Add(double* left, double* right, int n);
  const std::string& Error() const { return error; }
  // The file's own rate and channel count.
  int FileRate() const { return fileRate; }
  int FileChannels() const { return channels; }

private:
  static constexpr int kChunk = 1024;
  // Fills the interleaved stereo chunk from the file (looping at its end);
  // the frames read, 0 at the end of a file played once or on failure.
  long ReadFile(float* stereo, long frames);
  static long Supply(void* self, float** data);
  // Refuses, before libsndfile sees it, a file that cannot be opened, is
  // empty, or is named .mp3 without looking like one.
  bool LooksReadable(std::string& why) const;
  template <class Sample>
  bool AddTo(Sample* left, Sample* right, int n);

  sf_private_tag* file = nullptr;
  SRC_STATE_tag* resampler = nullptr;
  double ratio = 1.0;  // output frames per file frame
  int channels = 0;
  int fileRate = 0;
  bool loop = true;
  bool ended = false;
  bool failed = false;
  float gain = 1.0f;
  std::string path;
  std::string error;
  std::vector<float> raw;      // a chunk as the file holds it
  std::vector<float> supply;   // a chunk of stereo frames for the resampler
  std::vector<float> out;      // a chunk of stereo frames at the session's rate
};
