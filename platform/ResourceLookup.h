#pragma once
#include <cstddef>

// The module (Windows: HMODULE/HINSTANCE) whose resources are searched; null means the
// running program itself.
using ModuleHandle = void*;

// The bytes of one resource, read in place; valid while the module stays loaded.
struct ResourceBytes {
  const unsigned char* data = nullptr;
  size_t size = 0;
};

// Finds the resource of the given type and numeric identifier (its low 16 bits) in a
// module. False when there is none or it cannot be locked.
bool FindModuleResource(ModuleHandle module, int id, const char* type, ResourceBytes& out);

// Resources compiled into the program where there are no module resources: each
// registers itself at start-up and is found in every module but the run-time ones below.
struct EmbeddedResource {
  const char* type;
  int id;
  const unsigned char* data;
  size_t size;
  EmbeddedResource* next;  // filled in by RegisterEmbeddedResource
};
void RegisterEmbeddedResource(EmbeddedResource* entry);

// A module holding resources given at run time, for tools and tests. On Windows it is a
// copy of the running program, written to scratchPath with only these resources (language
// 1033) and loaded as data, so lookups take the real resource path; elsewhere it is a
// stand-in table. Null on failure.
struct ResourceSpec {
  const char* type;
  int id;
  const void* data;
  size_t size;
};
ModuleHandle CreateResourceModule(const char* scratchPath, const ResourceSpec* resources, int count);
void ReleaseResourceModule(ModuleHandle module);
