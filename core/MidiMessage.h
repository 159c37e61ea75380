#pragma once
#include <cstdint>

// One MIDI message exchanged between the host binding and the plug-in class.
struct MidiMessage {
  int32_t frameOffset;  // the event's position in the block, in frames
  uint8_t status;
  uint8_t data1;
  uint8_t data2;
};
