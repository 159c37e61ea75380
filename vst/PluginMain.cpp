// The entry points of one plug-in binary. Compiled once per binary; ZORV_VOICING_DAR picks
// the Dar voicing, otherwise the binary is Lum.
#include <new>

#include "Q19Effect.h"

#ifdef _WIN32
#define ZORV_EXPORT
#else
#define ZORV_EXPORT __attribute__((visibility("default")))
#endif

const ZORV::Voicing& BinaryVoicing() {
#ifdef ZORV_VOICING_DAR
  return ZORV::DarVoicing();
#else
  return ZORV::LumVoicing();
#endif
}

namespace {
IEffectVST* CreateQ19(audioMasterCallback host) { return new (std::nothrow) Q19Effect(host); }
}  // namespace

extern "C" {

ZORV_EXPORT AEffect* VST_CALL VSTPluginMain(audioMasterCallback host) { return VSTCreateInstance(CreateQ19, host); }

#ifndef _WIN32
// Older hosts look for "main", the same function. On Windows the module-definition file
// exports it as an alias; here an assembler name gives a differently named alias that symbol.
ZORV_EXPORT AEffect* VST_CALL VSTPluginMainAlias(audioMasterCallback host) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
#endif

}  // extern "C"
