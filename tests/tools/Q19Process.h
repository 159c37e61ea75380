#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Runs the built q19 binary as a process, the way users and scripts meet it.
struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

ProcessResult RunQ19(const std::string& arguments);

// A scratch folder per test, removed afterwards.
class ScratchDir {
public:
  ScratchDir();
  ~ScratchDir();
  std::string Path(const std::string& name) const { return mDir + "/" + name; }
  bool Exists(const std::string& name) const;
  std::vector<std::string> Files() const;

private:
  std::string mDir;
};

// Writes a test signal with libsndfile: channels interleaved, float WAV unless subformat says.
void WriteWav(const std::string& path, int sampleRate, int channels,
              const std::vector<float>& interleaved, int format = 0);
// Reads a whole file as interleaved floats; returns false when it cannot.
bool ReadAudio(const std::string& path, int& sampleRate, int& channels, std::vector<float>& samples);

// A guitar-like test tone: decaying harmonics at 110 Hz, with peak about `peak`.
std::vector<float> PluckedTone(int sampleRate, double seconds, double peak, int channels);
std::string ReadFile(const std::string& path);
