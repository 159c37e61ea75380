#pragma once
#include <vector>

// About ten seconds of a dry DI electric-guitar riff, mono, peaking at 0.3: palm-muted low-E
// chugs with power-chord stabs, then strummed open chords left to ring.
std::vector<float> SynthesizeDemoRiff(int sampleRate);
