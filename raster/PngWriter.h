#pragma once
#include <vector>

#include "RasterBitmap.h"

// Writes the bitmap as an 8-bit RGBA PNG file; false when the bitmap is empty or the file
// cannot be written.
bool SavePng(const RasterBitmap& bitmap, const char* path);
// The same PNG bytes in memory; false (and out emptied) for an empty bitmap.
bool EncodePng(const RasterBitmap& bitmap, std::vector<unsigned char>& out);
