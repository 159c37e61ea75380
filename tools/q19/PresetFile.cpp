#include "PresetFile.h"

#include "Failure.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr int32_t FourChar(const char (&t)[5]) {
  return int32_t((uint32_t(uint8_t(t[0])) << 24) | (uint32_t(uint8_t(t[1])) << 16) |
                 (uint32_t(uint8_t(t[2])) << 8) | uint32_t(uint8_t(t[3])));
}

constexpr int32_t kChunkMagic = FourChar("CcnK");
constexpr int32_t kProgramParams = FourChar("FxCk");
constexpr int32_t kProgramChunk = FourChar("FPCh");
constexpr int32_t kBankParams = FourChar("FxBk");
constexpr int32_t kBankChunk = FourChar("FBCh");
constexpr size_t kProgramNameBytes = 28;
constexpr size_t kProgramHeaderBytes = 4 * 7 + kProgramNameBytes;  // up to the values

// Bounds-checked big-endian reader over one file's bytes.
class Reader {
public:
  Reader(const std::vector<uint8_t>& bytes, const std::string& path, size_t begin, size_t end)
      : mBytes(bytes), mPath(path), mPos(begin), mEnd(end) {}

  int32_t Int() {
    Need(4);
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | mBytes[mPos++];
    return int32_t(v);
  }
  float Float() {
    int32_t bits = Int();
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
  }
  std::string Name() {
    Need(kProgramNameBytes);
    const char* p = reinterpret_cast<const char*>(&mBytes[mPos]);
    std::string name(p, strnlen(p, kProgramNameBytes));
    mPos += kProgramNameBytes;
    return name;
  }
  void Skip(size_t n) {
    Need(n);
    mPos += n;
  }
  size_t Pos() const { return mPos; }
  size_t Left() const { return mEnd - mPos; }
  [[noreturn]] void Damaged(const std::string& what) const {
    Fail(kExitPreset, mPath + ": damaged preset file (" + what + ")");
  }

private:
  void Need(size_t n) const {
    if (Left() < n) Damaged("it ends early");
  }
  const std::vector<uint8_t>& mBytes;
  const std::string& mPath;
  size_t mPos, mEnd;
};

// Reads the 'CcnK' header and checks that its byte count fits the data; returns the end.
size_t ReadRecordHeader(Reader& r) {
  if (r.Int() != kChunkMagic) r.Damaged("no 'CcnK' header");
  int32_t byteSize = r.Int();
  if (byteSize < 0 || size_t(byteSize) > r.Left()) r.Damaged("byte count exceeds the file");
  return r.Pos() + size_t(byteSize);
}

std::vector<float> ReadValues(Reader& r, int32_t count) {
  if (count < 0 || size_t(count) > r.Left() / 4) r.Damaged("parameter count exceeds the file");
  std::vector<float> values(static_cast<size_t>(count));
  for (float& v : values) {
    v = r.Float();
    if (!(v >= 0.0f && v <= 1.0f)) r.Damaged("a parameter value is not within 0 to 1");
  }
  return values;
}

std::vector<uint8_t> ReadOpaque(Reader& r, const std::vector<uint8_t>& bytes) {
  int32_t size = r.Int();
  if (size < 0 || size_t(size) > r.Left()) r.Damaged("chunk size exceeds the file");
  std::vector<uint8_t> chunk(bytes.begin() + long(r.Pos()), bytes.begin() + long(r.Pos()) + size);
  r.Skip(size_t(size));
  return chunk;
}

}  // namespace

std::string FourCharText(int32_t id) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    char c = char((uint32_t(id) >> shift) & 0xFF);
    text += (c >= 32 && c < 127) ? c : '?';
  }
  return text;
}

PresetFile ParsePresetFile(const std::vector<uint8_t>& bytes, const std::string& path) {
  PresetFile file;
  Reader r(bytes, path, 0, bytes.size());
  size_t end = ReadRecordHeader(r);
  Reader body(bytes, path, r.Pos(), end);
  int32_t kind = body.Int();
  int32_t version = body.Int();
  file.fxID = body.Int();
  file.fxVersion = body.Int();
  int32_t count = body.Int();

  if (kind == kProgramParams || kind == kProgramChunk) {
    if (version != 1) body.Damaged("unknown program version " + std::to_string(version));
    PresetProgram program;
    program.name = body.Name();
    file.isOpaqueChunk = kind == kProgramChunk;
    if (file.isOpaqueChunk) {
      file.chunk = ReadOpaque(body, bytes);
    } else {
      program.normalisedValues = ReadValues(body, count);
    }
    file.programs.push_back(std::move(program));
    return file;
  }
  if (kind != kBankParams && kind != kBankChunk) body.Damaged("neither a program nor a bank");
  if (version != 1 && version != 2) body.Damaged("unknown bank version " + std::to_string(version));
  file.isBank = true;
  file.isOpaqueChunk = kind == kBankChunk;
  if (version == 2) {
    file.currentProgram = body.Int();
    body.Skip(124);
  } else {
    body.Skip(128);
  }
  if (file.isOpaqueChunk) {
    file.chunk = ReadOpaque(body, bytes);
    return file;
  }
  if (count < 0 || size_t(count) > body.Left() / kProgramHeaderBytes) {
    body.Damaged("program count exceeds the file");
  }
  for (int32_t p = 0; p < count; ++p) {
    Reader program(bytes, path, body.Pos(), end);
    size_t programEnd = ReadRecordHeader(program);
    Reader fields(bytes, path, program.Pos(), programEnd);
    if (fields.Int() != kProgramParams) fields.Damaged("a bank program is not a parameter list");
    fields.Skip(4);  // version
    if (fields.Int() != file.fxID) fields.Damaged("a bank program belongs to another plug-in");
    fields.Skip(4);  // fxVersion
    int32_t numParams = fields.Int();
    PresetProgram entry;
    entry.name = fields.Name();
    entry.normalisedValues = ReadValues(fields, numParams);
    file.programs.push_back(std::move(entry));
    body.Skip(programEnd - body.Pos());
  }
  if (file.currentProgram < 0 || file.currentProgram >= count) file.currentProgram = 0;
  return file;
}

PresetFile ReadPresetFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail(kExitPreset, path + ": cannot open preset file (" + std::strerror(errno) + ")");
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) Fail(kExitPreset, path + ": cannot read preset file");
  return ParsePresetFile(bytes, path);
}

std::vector<uint8_t> SerializeProgramFile(const PresetProgram& program, int32_t fxID,
                                          int32_t fxVersion) {
  std::vector<uint8_t> out;
  auto put = [&out](int32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(uint32_t(v) >> shift));
  };
  int32_t numParams = int32_t(program.normalisedValues.size());
  put(kChunkMagic);
  put(int32_t(kProgramHeaderBytes - 8 + 4 * size_t(numParams)));  // bytes after this field
  put(kProgramParams);
  put(1);
  put(fxID);
  put(fxVersion);
  put(numParams);
  char name[kProgramNameBytes] = {};
  std::strncpy(name, program.name.c_str(), kProgramNameBytes - 1);
  out.insert(out.end(), name, name + kProgramNameBytes);
  for (float v : program.normalisedValues) {
    int32_t bits;
    std::memcpy(&bits, &v, 4);
    put(bits);
  }
  return out;
}
