// Stand-in for module resources where Win32 is not present: the images embedded at build
// time register themselves in one list; run-time modules are tables of their own.
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "ResourceLookup.h"

namespace {

EmbeddedResource* gEmbedded = nullptr;  // constant-initialised: safe during start-up

struct RunTimeModule {
  std::vector<std::string> types;
  std::vector<std::vector<unsigned char>> bytes;
  std::vector<EmbeddedResource> entries;
};
std::mutex gRunTimeLock;
std::vector<RunTimeModule*> gRunTimeModules;

const EmbeddedResource* Find(const EmbeddedResource* first, int id, const char* type) {
  for (const EmbeddedResource* e = first; e; e = e->next)
    if ((e->id & 0xFFFF) == id && std::strcmp(e->type, type) == 0) return e;
  return nullptr;
}

}  // namespace

void RegisterEmbeddedResource(EmbeddedResource* entry) {
  entry->next = gEmbedded;
  gEmbedded = entry;
}

bool FindModuleResource(ModuleHandle module, int id, const char* type, ResourceBytes& out) {
  out = ResourceBytes();
  if (!type) return false;
  id &= 0xFFFF;
  const EmbeddedResource* found = nullptr;
  bool runTime = false;
  {
    std::lock_guard<std::mutex> hold(gRunTimeLock);
    for (RunTimeModule* m : gRunTimeModules) {
      if (m == module) {
        runTime = true;
        found = m->entries.empty() ? nullptr : Find(&m->entries[0], id, type);
      }
    }
  }
  if (!runTime) found = Find(gEmbedded, id, type);
  if (!found) return false;
  out.data = found->data;
  out.size = found->size;
  return true;
}

ModuleHandle CreateResourceModule(const char*, const ResourceSpec* resources, int count) {
  if (count < 0 || (count > 0 && !resources)) return nullptr;
  RunTimeModule* m = new (std::nothrow) RunTimeModule;
  if (!m) return nullptr;
  m->types.resize(size_t(count));
  m->bytes.resize(size_t(count));
  m->entries.resize(size_t(count));
  for (int i = 0; i < count; ++i) {
    const unsigned char* p = static_cast<const unsigned char*>(resources[i].data);
    m->types[i] = resources[i].type ? resources[i].type : "";
    m->bytes[i].assign(p, p + resources[i].size);
    // Copies at the exact size, so a read past the end is caught by memory checkers.
    m->entries[i] = EmbeddedResource{m->types[i].c_str(), resources[i].id, m->bytes[i].data(),
                                     resources[i].size, nullptr};
    if (i > 0) m->entries[i - 1].next = &m->entries[i];
  }
  std::lock_guard<std::mutex> hold(gRunTimeLock);
  gRunTimeModules.push_back(m);
  return m;
}

void ReleaseResourceModule(ModuleHandle module) {
  std::lock_guard<std::mutex> hold(gRunTimeLock);
  for (size_t i = 0; i < gRunTimeModules.size(); ++i) {
    if (gRunTimeModules[i] == module) {
      delete gRunTimeModules[i];
      gRunTimeModules.erase(gRunTimeModules.begin() + long(i));
      return;
    }
  }
}
