#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct sf_private_tag;

// Sample rates and channel counts q19 renders; anything else is refused with a message.
constexpr int kMinSampleRate = 8000;
constexpr int kMaxSampleRate = 384000;
constexpr int kMaxChannels = 2;

enum class SampleFormat { Default, Float, Pcm24, Pcm16 };

// Streams interleaved float frames out of a WAV, FLAC, AIFF or Ogg Vorbis file.
class AudioReader {
public:
  explicit AudioReader(const std::string& path);  // throws Failure naming the file
  ~AudioReader();
  AudioReader(const AudioReader&) = delete;
  AudioReader& operator=(const AudioReader&) = delete;

  int SampleRate() const { return mSampleRate; }
  int Channels() const { return mChannels; }
  int64_t Frames() const { return mFrames; }
  // Reads up to maxFrames frames; returns the number read (0 at the end).
  int64_t Read(float* interleaved, int64_t maxFrames);

private:
  std::string mPath;
  sf_private_tag* mFile = nullptr;
  int mSampleRate = 0;
  int mChannels = 0;
  int64_t mFrames = 0;
};

// Writes a file whose type follows the extension of its path. The samples go to a temporary
// file beside it, renamed into place by Commit(): a failed render leaves no partial output.
class AudioWriter {
public:
  AudioWriter(const std::string& path, int sampleRate, int channels, SampleFormat format);
  ~AudioWriter();  // removes the temporary file unless committed
  AudioWriter(const AudioWriter&) = delete;
  AudioWriter& operator=(const AudioWriter&) = delete;

  void Write(const float* interleaved, int64_t frames);
  void Commit();

private:
  std::string mPath;
  std::string mTempPath;
  sf_private_tag* mFile = nullptr;
  bool mCommitted = false;
};

// Parses "float", "pcm24" or "pcm16".
bool ParseSampleFormat(const std::string& text, SampleFormat& format);

// Writes a whole mono or interleaved signal (used by the demo).
void WriteAudioFile(const std::string& path, int sampleRate, int channels,
                    const std::vector<float>& interleaved, SampleFormat format);
