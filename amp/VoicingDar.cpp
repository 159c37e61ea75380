#include "Voicing.h"

#include "VoicingTables.h"

namespace ZORV {

const Voicing& DarVoicing() {
  static const Voicing voicing{"Dar", "ZORV Q19 v1.6 Dar", 0x56713744 /* 'Vq7D' */,
                               Dar::kTableA, Dar::kTableB, Dar::kTableC, Dar::kTableD};
  return voicing;
}

}  // namespace ZORV
