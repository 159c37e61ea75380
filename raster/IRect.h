#pragma once
#include <cstdint>

// Rectangle in pixels: right and bottom are exclusive.
struct IRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};
