#include "DynamicLibrary.h"

#ifdef _WIN32
#include <windows.h>

bool DynamicLibrary::Open(const std::string& path, std::string& error) {
  Close();
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) {
    error = "LoadLibrary(" + path + ") failed with error " + std::to_string(GetLastError());
    return false;
  }
  mHandle = reinterpret_cast<void*>(module);
  return true;
}

void* DynamicLibrary::Symbol(const char* name) const {
  if (!mHandle) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(mHandle), name));
}

void DynamicLibrary::Close() {
  if (mHandle) FreeLibrary(static_cast<HMODULE>(mHandle));
  mHandle = nullptr;
}

#else
#include <dlfcn.h>

bool DynamicLibrary::Open(const std::string& path, std::string& error) {
  Close();
  mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mHandle) {
    const char* why = dlerror();
    error = "dlopen(" + path + ") failed: " + (why ? why : "unknown error");
    return false;
  }
  return true;
}

void* DynamicLibrary::Symbol(const char* name) const {
  if (!mHandle) return nullptr;
  return dlsym(mHandle, name);
}

void DynamicLibrary::Close() {
  if (mHandle) dlclose(mHandle);
  mHandle = nullptr;
}
#endif
