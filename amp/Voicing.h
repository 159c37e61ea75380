#pragma once
#include <cstdint>

namespace ZORV {

constexpr int kTableSize = 1401;

// What tells the two builds apart: the effect name, the unique ID and the triode tables.
struct Voicing {
  const char* name;        // "Lum"
  const char* effectName;  // "ZORV Q19 v1.6 Lum"
  int32_t uniqueID;        // 'Vq7L'
  const double* tableA;
  const double* tableB;
  const double* tableC;
  const double* tableD;
};

const Voicing& LumVoicing();
const Voicing& DarVoicing();

}  // namespace ZORV
