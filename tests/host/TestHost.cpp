#include "TestHost.h"

#include <algorithm>
#include <cstring>

namespace {
// Calls made while the entry point runs arrive before the record's user field is set.
TestHost* gCreatingHost = nullptr;

template <typename T>
std::vector<T*> Pointers(std::vector<std::vector<T>>& buffers) {
  std::vector<T*> pointers;
  for (auto& buffer : buffers) pointers.push_back(buffer.data());
  return pointers;
}
}  // namespace

TestHost::~TestHost() { Close(); }

std::string TestHost::NativePath(const std::string& path) {
#ifdef _WIN32
  if (!path.empty() && path[0] == '/') {
    std::string windows = "Z:" + path;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    return windows;
  }
#endif
  return path;
}

bool TestHost::Load(const std::string& path, std::string& error, bool useMain) {
  if (!mLibrary.Open(NativePath(path), error)) return false;
  mEntry = reinterpret_cast<VstEntryProc>(mLibrary.Symbol(useMain ? "main" : "VSTPluginMain"));
  if (!mEntry) {
    error = path + " does not export its entry point";
    return false;
  }
  return true;
}

AEffect* TestHost::CreateAnother() {
  if (!mEntry) return nullptr;
  gCreatingHost = this;
  AEffect* effect = mEntry(Callback);
  gCreatingHost = nullptr;
  if (effect) effect->user = this;
  return effect;
}

AEffect* TestHost::Create() {
  Close();
  mEffect = CreateAnother();
  return mEffect;
}

void TestHost::Adopt(AEffect* effect) {
  Close();
  mEffect = effect;
  if (mEffect) mEffect->user = this;
}

void TestHost::Close() {
  if (mEffect) mEffect->dispatcher(mEffect, effClose, 0, 0, nullptr, 0.0f);
  mEffect = nullptr;
}

int TestHost::CountCalls(VstInt32 opcode) const {
  return int(std::count_if(calls.begin(), calls.end(), [&](const HostCall& c) { return c.opcode == opcode; }));
}

const HostCall* TestHost::LastCall(VstInt32 opcode) const {
  for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
    if (it->opcode == opcode) return &*it;
  }
  return nullptr;
}

VstIntPtr VST_CALL TestHost::Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                      float opt) {
  TestHost* host = (effect && effect->user) ? static_cast<TestHost*>(effect->user) : gCreatingHost;
  return host ? host->Answer(opcode, index, value, ptr, opt) : 0;
}

VstIntPtr TestHost::Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  HostCall call;
  call.opcode = opcode;
  call.index = index;
  call.value = value;
  call.opt = opt;
  call.hadPtr = ptr != nullptr;
  VstIntPtr answer = 0;
  auto writeText = [&](const std::string& text) {
    if (!ptr) return;
    // The published limit for vendor and product strings is 64 bytes.
    const size_t length = std::min<size_t>(text.size(), 63);
    std::memcpy(ptr, text.data(), length);
    static_cast<char*>(ptr)[length] = 0;
    call.text = std::string(text, 0, length);
    answer = 1;
  };
  switch (opcode) {
    case audioMasterVersion: answer = 2400; break;
    case audioMasterGetProductString: writeText(productString); break;
    case audioMasterGetVendorString: writeText(vendorString); break;
    case audioMasterGetVendorVersion: answer = vendorVersion; break;
    case audioMasterGetTime:
      answer = provideTimeInfo ? reinterpret_cast<VstIntPtr>(&timeInfo) : 0;
      break;
    case audioMasterProcessEvents:
      if (const VstEvents* events = static_cast<const VstEvents*>(ptr)) {
        for (VstInt32 i = 0; i < events->numEvents; ++i) {
          if (events->events[i]) call.events.push_back(*events->events[i]);
        }
      }
      answer = processEventsAnswer;
      break;
    default: break;
  }
  calls.push_back(call);
  return answer;
}

VstIntPtr TestHost::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return mEffect ? mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt) : 0;
}

std::string TestHost::TextOf(VstInt32 opcode, VstInt32 index, VstIntPtr value, float opt, VstIntPtr* result) {
  char buffer[256];
  std::memset(buffer, '#', sizeof buffer);
  buffer[sizeof buffer - 1] = 0;
  const VstIntPtr answer = Dispatch(opcode, index, value, buffer, opt);
  if (result) *result = answer;
  return std::string(buffer);
}

float TestHost::GetParameter(VstInt32 index) { return mEffect ? mEffect->getParameter(mEffect, index) : 0.0f; }

void TestHost::SetParameter(VstInt32 index, float value) {
  if (mEffect) mEffect->setParameter(mEffect, index, value);
}

std::vector<uint8_t> TestHost::GetChunk(bool bank, VstIntPtr* result) {
  void* data = nullptr;
  const VstIntPtr size = Dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
  if (result) *result = size;
  if (size <= 0 || !data) return {};
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

VstIntPtr TestHost::SetChunk(bool bank, const std::vector<uint8_t>& bytes) {
  return Dispatch(effSetChunk, bank ? 0 : 1, VstIntPtr(bytes.size()), const_cast<uint8_t*>(bytes.data()));
}

void TestHost::ProcessAdding(FloatBuffers& inputs, FloatBuffers& outputs, VstInt32 frames) {
  auto in = Pointers(inputs);
  auto out = Pointers(outputs);
  mEffect->process(mEffect, in.data(), out.data(), frames);
}

void TestHost::ProcessReplacing(FloatBuffers& inputs, FloatBuffers& outputs, VstInt32 frames) {
  auto in = Pointers(inputs);
  auto out = Pointers(outputs);
  mEffect->processReplacing(mEffect, in.data(), out.data(), frames);
}

void TestHost::ProcessDouble(DoubleBuffers& inputs, DoubleBuffers& outputs, VstInt32 frames) {
  auto in = Pointers(inputs);
  auto out = Pointers(outputs);
  mEffect->processDoubleReplacing(mEffect, in.data(), out.data(), frames);
}
