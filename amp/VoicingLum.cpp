#include "Voicing.h"

#include "VoicingTables.h"

namespace ZORV {

const Voicing& LumVoicing() {
  static const Voicing voicing{"Lum", "ZORV Q19 v1.6 Lum", 0x5671374C /* 'Vq7L' */,
                               Lum::kTableA, Lum::kTableB, Lum::kTableC, Lum::kTableD};
  return voicing;
}

}  // namespace ZORV
