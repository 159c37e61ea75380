#include "AudioFile.h"

#include "Failure.h"
#include "TextAndFiles.h"

#include <sndfile.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

std::string Extension(const std::string& path) {
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return LowerCase(path.substr(dot + 1));
}

int MajorFormatFor(const std::string& path) {
  std::string ext = Extension(path);
  if (ext == "wav") return SF_FORMAT_WAV;
  if (ext == "flac") return SF_FORMAT_FLAC;
  if (ext == "aif" || ext == "aiff") return SF_FORMAT_AIFF;
  if (ext == "ogg" || ext == "oga") return SF_FORMAT_OGG;
  Fail(kExitOutput, path + ": unsupported output type '." + ext +
                        "' (use .wav, .flac, .aiff or .ogg)");
}

int SubFormatFor(const std::string& path, int major, SampleFormat format) {
  if (major == SF_FORMAT_OGG) {
    if (format != SampleFormat::Default) {
      Fail(kExitOutput, path + ": Ogg Vorbis output takes no --format");
    }
    return SF_FORMAT_VORBIS;
  }
  switch (format) {
    case SampleFormat::Float:
      if (major == SF_FORMAT_FLAC) Fail(kExitOutput, path + ": FLAC cannot hold float samples");
      return SF_FORMAT_FLOAT;
    case SampleFormat::Pcm24: return SF_FORMAT_PCM_24;
    case SampleFormat::Pcm16: return SF_FORMAT_PCM_16;
    case SampleFormat::Default: break;
  }
  // Float keeps the plug-in's output exactly; FLAC has no float samples.
  return major == SF_FORMAT_FLAC ? SF_FORMAT_PCM_24 : SF_FORMAT_FLOAT;
}

}  // namespace

bool ParseSampleFormat(const std::string& text, SampleFormat& format) {
  if (text == "float") format = SampleFormat::Float;
  else if (text == "pcm24") format = SampleFormat::Pcm24;
  else if (text == "pcm16") format = SampleFormat::Pcm16;
  else return false;
  return true;
}

AudioReader::AudioReader(const std::string& path) : mPath(path) {
  if (access(path.c_str(), F_OK) != 0) Fail(kExitInput, path + ": no such file");
  if (access(path.c_str(), R_OK) != 0) Fail(kExitInput, path + ": " + std::strerror(errno));
  SF_INFO info{};
  mFile = sf_open(path.c_str(), SFM_READ, &info);
  if (!mFile) {
    Fail(kExitInput, path + ": not a readable audio file (" + sf_strerror(nullptr) + ")");
  }
  mSampleRate = info.samplerate;
  mChannels = info.channels;
  mFrames = info.frames;
  if (mChannels < 1 || mChannels > kMaxChannels) {
    Fail(kExitInput, path + ": " + std::to_string(mChannels) +
                         " channels; q19 renders mono or stereo files only");
  }
  if (mSampleRate < kMinSampleRate || mSampleRate > kMaxSampleRate) {
    Fail(kExitInput, path + ": sample rate " + std::to_string(mSampleRate) +
                         " Hz is outside 8000 to 384000 Hz");
  }
}

AudioReader::~AudioReader() {
  if (mFile) sf_close(mFile);
}

int64_t AudioReader::Read(float* interleaved, int64_t maxFrames) {
  sf_count_t got = sf_readf_float(mFile, interleaved, maxFrames);
  if (got < 0 || (got == 0 && sf_error(mFile) != SF_ERR_NO_ERROR)) {
    Fail(kExitInput, mPath + ": damaged audio data (" + sf_strerror(mFile) + ")");
  }
  return got;
}

AudioWriter::AudioWriter(const std::string& path, int sampleRate, int channels,
                         SampleFormat format)
    : mPath(path) {
  int major = MajorFormatFor(path);
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = major | SubFormatFor(path, major, format);
  if (!sf_format_check(&info)) {
    Fail(kExitOutput, path + ": this output type cannot hold " + std::to_string(sampleRate) +
                          " Hz, " + std::to_string(channels) + "-channel audio in that format");
  }
  mTempPath = TemporaryPathBeside(path);
  mFile = sf_open(mTempPath.c_str(), SFM_WRITE, &info);
  if (!mFile) {
    Fail(kExitOutput, path + ": cannot be written (" + sf_strerror(nullptr) + ")");
  }
}

AudioWriter::~AudioWriter() {
  if (mFile) sf_close(mFile);
  if (!mCommitted) std::remove(mTempPath.c_str());
}

void AudioWriter::Write(const float* interleaved, int64_t frames) {
  if (frames == 0) return;
  if (sf_writef_float(mFile, interleaved, frames) != frames) {
    Fail(kExitOutput, mPath + ": write failed (" + sf_strerror(mFile) + ")");
  }
}

void AudioWriter::Commit() {
  int status = sf_close(mFile);
  mFile = nullptr;
  if (status != 0) Fail(kExitOutput, mPath + ": write failed (" + sf_error_number(status) + ")");
  mCommitted = true;  // MoveIntoPlace removes the temporary file itself when it fails
  MoveIntoPlace(mTempPath, mPath);
}

void WriteAudioFile(const std::string& path, int sampleRate, int channels,
                    const std::vector<float>& interleaved, SampleFormat format) {
  AudioWriter writer(path, sampleRate, channels, format);
  writer.Write(interleaved.data(), int64_t(interleaved.size()) / channels);
  writer.Commit();
}
