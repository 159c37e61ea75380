#include "Q19Process.h"

#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

ProcessResult RunQ19(const std::string& arguments) {
  static int counter = 0;
  std::string base = "/tmp/q19-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
  std::string command = std::string(Q19_BINARY) + " " + arguments + " >" + base + ".out 2>" +
                        base + ".err </dev/null";
  int status = std::system(command.c_str());
  ProcessResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFile(base + ".out");
  result.err = ReadFile(base + ".err");
  std::remove((base + ".out").c_str());
  std::remove((base + ".err").c_str());
  return result;
}

ScratchDir::ScratchDir() {
  char pattern[] = "/tmp/q19-scratch-XXXXXX";
  mDir = mkdtemp(pattern);
}

ScratchDir::~ScratchDir() {
  std::string command = "rm -rf '" + mDir + "'";
  (void)std::system(command.c_str());
}

bool ScratchDir::Exists(const std::string& name) const { return access(Path(name).c_str(), F_OK) == 0; }

std::vector<std::string> ScratchDir::Files() const {
  std::vector<std::string> names;
  if (DIR* dir = opendir(mDir.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

void WriteWav(const std::string& path, int sampleRate, int channels,
              const std::vector<float>& interleaved, int format) {
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = format ? format : (SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return;
  sf_writef_float(file, interleaved.data(), sf_count_t(interleaved.size() / size_t(channels)));
  sf_close(file);
}

bool ReadAudio(const std::string& path, int& sampleRate, int& channels, std::vector<float>& samples) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return false;
  sampleRate = info.samplerate;
  channels = info.channels;
  samples.assign(size_t(info.frames) * size_t(info.channels), 0.0f);
  sf_count_t got = sf_readf_float(file, samples.data(), info.frames);
  sf_close(file);
  return got == info.frames;
}

std::vector<float> PluckedTone(int sampleRate, double seconds, double peak, int channels) {
  size_t frames = size_t(seconds * sampleRate);
  std::vector<float> out(frames * size_t(channels));
  for (size_t n = 0; n < frames; ++n) {
    double t = double(n) / sampleRate, x = 0.0;
    for (int h = 1; h <= 6; ++h) x += std::sin(2.0 * M_PI * 110.0 * h * t) / h;
    x *= peak / 1.6 * std::exp(-3.0 * t);
    for (int c = 0; c < channels; ++c) out[n * size_t(channels) + size_t(c)] = float(c ? 0.5 * x : x);
  }
  return out;
}
