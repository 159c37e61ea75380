#pragma once
#include <string>
#include <vector>

// One picture of a render: waveform overviews of the input and the output above their
// magnitude spectra (log frequency, dB), saved as PNG. Throws Failure when it cannot be saved.
void SaveRenderPicture(const std::string& path, const std::vector<float>& input,
                       const std::vector<float>& outputLeft, int sampleRate);

// The four transfer curves of a voicing's triode tables against grid voltage.
void SaveTablePlot(const std::string& path, const double* const tables[4], int size);
