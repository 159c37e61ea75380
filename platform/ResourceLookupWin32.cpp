#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "ResourceLookup.h"

bool FindModuleResource(ModuleHandle module, int id, const char* type, ResourceBytes& out) {
  out = ResourceBytes();
  HMODULE instance = static_cast<HMODULE>(module);
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id & 0xFFFF), type);
  if (!found) return false;
  DWORD size = SizeofResource(instance, found);
  HGLOBAL loaded = LoadResource(instance, found);
  if (!loaded) return false;
  const void* data = LockResource(loaded);
  if (!data) return false;
  out.data = static_cast<const unsigned char*>(data);
  out.size = size;
  return true;
}

void RegisterEmbeddedResource(EmbeddedResource*) {}

namespace {

struct RunTimeModule {
  HMODULE module;
  std::string path;
};
std::mutex gRunTimeLock;
std::vector<RunTimeModule> gRunTimeModules;

}  // namespace

ModuleHandle CreateResourceModule(const char* scratchPath, const ResourceSpec* resources, int count) {
  if (!scratchPath || (count > 0 && !resources)) return nullptr;
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  if (!CopyFileA(self, scratchPath, FALSE)) return nullptr;
  HANDLE update = BeginUpdateResourceA(scratchPath, TRUE);
  if (!update) {
    DeleteFileA(scratchPath);
    return nullptr;
  }
  bool ok = true;
  for (int i = 0; i < count && ok; ++i) {
    ok = UpdateResourceA(update, resources[i].type, MAKEINTRESOURCEA(resources[i].id & 0xFFFF),
                         MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                         const_cast<void*>(resources[i].data), DWORD(resources[i].size)) != 0;
  }
  if (!EndUpdateResourceA(update, ok ? FALSE : TRUE) || !ok) {
    DeleteFileA(scratchPath);
    return nullptr;
  }
  HMODULE module = LoadLibraryExA(scratchPath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) {
    DeleteFileA(scratchPath);
    return nullptr;
  }
  std::lock_guard<std::mutex> hold(gRunTimeLock);
  gRunTimeModules.push_back(RunTimeModule{module, scratchPath});
  return module;
}

void ReleaseResourceModule(ModuleHandle module) {
  std::lock_guard<std::mutex> hold(gRunTimeLock);
  for (size_t i = 0; i < gRunTimeModules.size(); ++i) {
    if (gRunTimeModules[i].module == module) {
      FreeLibrary(gRunTimeModules[i].module);
      DeleteFileA(gRunTimeModules[i].path.c_str());
      gRunTimeModules.erase(gRunTimeModules.begin() + ptrdiff_t(i));
      return;
    }
  }
}
