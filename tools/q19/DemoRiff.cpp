#include "DemoRiff.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::array<double, 6> kOpenStrings = {82.41, 110.0, 146.83, 196.0, 246.94, 329.63};

// Deterministic noise, so that the demo input is the same on every run and machine.
class Noise {
public:
  double Next() {
    mState = mState * 6364136223846793005ULL + 1442695040888963407ULL;
    return double(int64_t(mState >> 11) - (int64_t(1) << 52)) / double(int64_t(1) << 52);
  }

private:
  uint64_t mState = 0x51A7E5ULL;
};

// One string: a delay line of one period closed by a damped lowpass loop (plucked-string
// synthesis). Re-plucking replaces the line with a new excitation.
class GuitarString {
public:
  void Pluck(double frequency, double sampleRate, double amplitude, bool palmMuted, Noise& noise) {
    mLength = std::max<size_t>(2, size_t(std::lround(sampleRate / frequency)));
    mLine.assign(mLength, 0.0);
    mPos = 0;
    mLoopState = 0.0;
    // Palm muting: the hand at the bridge takes out the highs and shortens the note.
    mLoopGain = palmMuted ? 0.960 : 0.9985;
    mLoopBrightness = palmMuted ? 0.22 : 0.65;
    mDamping = 1.0;
    // Pick attack: a bright, short noise burst, lowpassed more for muted notes, with the
    // comb of the picking position (about an eighth of the string from the bridge).
    double lowpass = 0.0, coefficient = palmMuted ? 0.25 : 0.6;
    for (size_t i = 0; i < mLength; ++i) {
      lowpass += coefficient * (noise.Next() - lowpass);
      mLine[i] = amplitude * lowpass;
    }
    size_t pickOffset = std::max<size_t>(1, mLength / 8);
    for (size_t i = mLength; i-- > pickOffset;) mLine[i] -= mLine[i - pickOffset];
    mActive = true;
  }

  // Fretting hand lifts off: the note dies within a few tens of milliseconds.
  void Damp() { mDamping = 0.92; }

  double Next() {
    if (!mActive) return 0.0;
    size_t next = (mPos + 1) % mLength;
    double average = 0.5 * (mLine[mPos] + mLine[next]);
    mLoopState += mLoopBrightness * (average - mLoopState);
    double out = mLine[mPos];
    mLine[mPos] = mLoopGain * mDamping * mLoopState;
    mPos = next;
    return out;
  }

private:
  std::vector<double> mLine;
  size_t mLength = 2, mPos = 0;
  double mLoopState = 0.0, mLoopGain = 0.0, mLoopBrightness = 0.5, mDamping = 1.0;
  bool mActive = false;
};

struct Fret {
  int string;
  int fret;
};

struct RiffEvent {
  double eighth;             // start time in eighth notes
  std::vector<Fret> notes;   // strings and frets, low string first
  bool palmMuted;
  bool strum;                // strings follow each other by a few milliseconds
};

const std::vector<Fret> kChug = {{0, 0}, {1, 2}};
const std::vector<Fret> kE5 = {{0, 0}, {1, 2}, {2, 2}};
const std::vector<Fret> kG5 = {{0, 3}, {1, 5}, {2, 5}};
const std::vector<Fret> kA5 = {{0, 5}, {1, 7}, {2, 7}};
const std::vector<Fret> kD5 = {{1, 5}, {2, 7}, {3, 7}};
const std::vector<Fret> kOpenE = {{0, 0}, {1, 2}, {2, 2}, {3, 1}, {4, 0}, {5, 0}};
const std::vector<Fret> kOpenA = {{1, 0}, {2, 2}, {3, 2}, {4, 2}, {5, 0}};
const std::vector<Fret> kOpenG = {{0, 3}, {1, 2}, {2, 0}, {3, 0}, {4, 0}, {5, 3}};
const std::vector<Fret> kOpenD = {{2, 0}, {3, 2}, {4, 3}, {5, 2}};

std::vector<RiffEvent> Riff() {
  std::vector<RiffEvent> events;
  auto chugs = [&](double from, int count) {
    for (int i = 0; i < count; ++i) events.push_back({from + i, kChug, true, false});
  };
  auto stab = [&](double at, const std::vector<Fret>& chord) {
    events.push_back({at, chord, false, false});
  };
  auto strum = [&](double at, const std::vector<Fret>& chord) {
    events.push_back({at, chord, false, true});
  };
  for (int phrase = 0; phrase < 2; ++phrase) {
    double base = phrase * 16.0;
    chugs(base, 4);
    stab(base + 4, kG5);
    chugs(base + 6, 2);
    chugs(base + 8, 4);
    if (phrase == 0) {
      stab(base + 12, kA5);
      stab(base + 14, kG5);
    } else {
      stab(base + 12, kD5);
      stab(base + 13, kA5);
      stab(base + 14, kE5);
    }
  }
  strum(32, kOpenE);
  strum(36, kOpenA);
  strum(40, kOpenG);
  strum(42, kOpenD);
  strum(44, kOpenE);
  return events;
}

}  // namespace

std::vector<float> SynthesizeDemoRiff(int sampleRate) {
  const double fs = sampleRate;
  const double eighth = 60.0 / 140.0 / 2.0;  // 140 beats per minute
  const size_t total = size_t(10.2 * fs);
  std::vector<double> signal(total, 0.0);
  std::array<GuitarString, 6> strings;
  Noise noise;

  std::vector<RiffEvent> events = Riff();
  size_t next = 0;
  struct Pending {
    size_t at;
    Fret note;
    bool palmMuted;
  };
  std::vector<Pending> pending;  // strummed strings waiting for their moment
  for (size_t n = 0; n < total; ++n) {
    while (next < events.size() && size_t(events[next].eighth * eighth * fs) <= n) {
      const RiffEvent& e = events[next++];
      for (int s = 0; s < 6; ++s) {
        bool played = std::any_of(e.notes.begin(), e.notes.end(),
                                  [s](const Fret& f) { return f.string == s; });
        if (!played) strings[size_t(s)].Damp();
      }
      for (size_t k = 0; k < e.notes.size(); ++k) {
        size_t delay = e.strum ? size_t(k * 0.012 * fs) : size_t(k * 0.002 * fs);
        pending.push_back({n + delay, e.notes[k], e.palmMuted});
      }
    }
    for (size_t k = 0; k < pending.size();) {
      if (pending[k].at <= n) {
        const Fret f = pending[k].note;
        double frequency = kOpenStrings[size_t(f.string)] * std::pow(2.0, f.fret / 12.0);
        double amplitude = 0.8 + 0.2 * noise.Next();
        strings[size_t(f.string)].Pluck(frequency, fs, amplitude, pending[k].palmMuted, noise);
        pending.erase(pending.begin() + long(k));
      } else {
        ++k;
      }
    }
    double sum = 0.0;
    for (GuitarString& s : strings) sum += s.Next();
    signal[n] = sum;
  }

  // A pickup passes little below 80 Hz; a gentle DC blocker keeps the DI honest.
  double previousIn = 0.0, previousOut = 0.0, r = std::exp(-2.0 * kPi * 40.0 / fs);
  double peak = 0.0;
  for (double& x : signal) {
    double y = x - previousIn + r * previousOut;
    previousIn = x;
    previousOut = y;
    x = y;
    peak = std::max(peak, std::fabs(y));
  }
  // Fade out the last 150 ms so the file does not end in a click.
  size_t fade = size_t(0.15 * fs);
  for (size_t i = 0; i < fade; ++i) signal[total - 1 - i] *= double(i) / double(fade);

  std::vector<float> out(total);
  double scale = peak > 0.0 ? 0.3 / peak : 0.0;
  for (size_t i = 0; i < total; ++i) out[i] = float(signal[i] * scale);
  return out;
}
