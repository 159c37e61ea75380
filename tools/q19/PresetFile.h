#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Standard VST program (.fxp) and bank (.fxb) files. All fields are big-endian.
struct PresetProgram {
  std::string name;
  std::vector<float> normalisedValues;
};

struct PresetFile {
  bool isBank = false;
  bool isOpaqueChunk = false;  // 'FPCh' / 'FBCh': the plug-in's own state format
  int32_t fxID = 0;
  int32_t fxVersion = 0;
  int32_t currentProgram = 0;  // banks of version 2 only
  std::vector<PresetProgram> programs;
  std::vector<uint8_t> chunk;
};

// Parses the bytes of a preset file; throws Failure (kExitPreset) naming path and the fault.
PresetFile ParsePresetFile(const std::vector<uint8_t>& bytes, const std::string& path);
PresetFile ReadPresetFile(const std::string& path);

// A 'FxCk' program file holding normalised parameter values.
std::vector<uint8_t> SerializeProgramFile(const PresetProgram& program, int32_t fxID,
                                          int32_t fxVersion);

std::string FourCharText(int32_t id);
