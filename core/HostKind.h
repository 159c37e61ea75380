#pragma once
#include <cstdint>

// Code of the recognised host application: -1 until asked, 0 when not recognised.
using HostKind = int32_t;

constexpr HostKind kHostNotAsked = -1;
constexpr HostKind kHostUnknown = 0;

// Looks for the known host names in the lowered product text, in table order; the first
// one found decides (a text holding "cubase" and "reaper" is Cubase).
HostKind HostKindFromName(const char* productText);
