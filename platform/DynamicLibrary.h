#pragma once
#include <string>

// A shared library opened by path (dlopen on Linux, LoadLibraryA on Windows).
class DynamicLibrary {
public:
  DynamicLibrary() = default;
  ~DynamicLibrary() { Close(); }
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Opens the library; on failure returns false and describes why in error.
  bool Open(const std::string& path, std::string& error);
  // Address of an exported symbol, or null when the library does not export it.
  void* Symbol(const char* name) const;
  void Close();
  bool IsOpen() const { return mHandle != nullptr; }

private:
  void* mHandle = nullptr;
};
