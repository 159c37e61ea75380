#pragma once
// Image fixtures made by the tests themselves: PNG through libpng, JPEG through libjpeg.
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A PNG of the given colour type and bit depth; samples are taken from pixel(x, y, channel)
// (channel values at the bit depth's full range).
Bytes MakePng(int w, int h, int colourType, int bitDepth,
              unsigned (*sample)(int x, int y, int channel));
// An 8-bit RGBA PNG from 0xAARRGGBB words, row-major.
Bytes MakeRgbaPng(int w, int h, const std::vector<uint32_t>& argb);
// A baseline JPEG with 1 (grey), 3 (RGB) or 4 (CMYK) components, all samples `value`.
Bytes MakeJpeg(int w, int h, int components, int value);

// Path of a scratch file for this test program.
std::string ScratchPath(const std::string& name);
bool WriteFile(const std::string& path, const Bytes& bytes);
