#pragma once
// A small VST 2.4 host for tests: loads a plug-in binary by path, records every call the
// plug-in makes back to it, answers like a configurable host, and wraps the dispatcher,
// parameter, chunk and process calls.
#include <cstdint>
#include <string>
#include <vector>

#include "DynamicLibrary.h"
#include "VstAbi.h"

// One call from the plug-in to the host, with the text or record behind ptr.
struct HostCall {
  VstInt32 opcode = 0;
  VstInt32 index = 0;
  VstIntPtr value = 0;
  float opt = 0.0f;
  bool hadPtr = false;
  std::string text;                // text written for string requests
  std::vector<VstEvent> events;   // events of audioMasterProcessEvents, copied
};

class TestHost {
public:
  TestHost() = default;
  ~TestHost();
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  // Converts a path of this build tree into one the platform opens (Z:\... under wine).
  static std::string NativePath(const std::string& path);

  // Opens the binary and looks up the entry point (VSTPluginMain, or main when asked).
  bool Load(const std::string& path, std::string& error, bool useMain = false);
  void* Symbol(const char* name) const { return mLibrary.Symbol(name); }
  // Calls the entry point; the new record's user field points back at this host.
  AEffect* Create();
  // Calls the entry point once more with the same callback (a second instance), not owned.
  AEffect* CreateAnother();
  AEffect* Effect() const { return mEffect; }
  // Takes an instance created in-process (a test's own subclass); this host answers for it.
  void Adopt(AEffect* effect);
  void Close();  // effClose, when an instance is open

  // How this host answers.
  std::string productString = "ZORV Test Host";
  std::string vendorString = "ZORV Tests";
  VstIntPtr vendorVersion = 1000;
  bool provideTimeInfo = false;
  VstTimeInfo timeInfo{};
  VstIntPtr processEventsAnswer = 1;

  // What the plug-in asked.
  std::vector<HostCall> calls;
  void ClearCalls() { calls.clear(); }
  int CountCalls(VstInt32 opcode) const;
  const HostCall* LastCall(VstInt32 opcode) const;

  // Dispatcher and parameter helpers.
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
  // Text a request writes into a 256-byte buffer pre-filled with a marker; result in *result.
  std::string TextOf(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, float opt = 0.0f,
                     VstIntPtr* result = nullptr);
  float GetParameter(VstInt32 index);
  void SetParameter(VstInt32 index, float value);
  std::vector<uint8_t> GetChunk(bool bank, VstIntPtr* result = nullptr);
  VstIntPtr SetChunk(bool bank, const std::vector<uint8_t>& bytes);

  // Process helpers: one buffer per channel, frames = the shortest buffer unless given.
  using FloatBuffers = std::vector<std::vector<float>>;
  using DoubleBuffers = std::vector<std::vector<double>>;
  void ProcessAdding(FloatBuffers& inputs, FloatBuffers& outputs, VstInt32 frames);
  void ProcessReplacing(FloatBuffers& inputs, FloatBuffers& outputs, VstInt32 frames);
  void ProcessDouble(DoubleBuffers& inputs, DoubleBuffers& outputs, VstInt32 frames);

  // The callback handed to the plug-in.
  static VstIntPtr VST_CALL Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                     void* ptr, float opt);

private:
  VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

  DynamicLibrary mLibrary;
  VstEntryProc mEntry = nullptr;
  AEffect* mEffect = nullptr;
};
