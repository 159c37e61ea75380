// State chunks and presets of IEffectBase.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "IEffectBase.h"
#include "TextCopy.h"
#include "Trace.h"

bool IEffectBase::SerializeParams(IStateChunk& chunk) {
  ScopedLock hold(mLock);
  for (int i = 0; i < ParamCount(); ++i) {
    if (!chunk.PutDouble(ParamAt(i)->mValue)) return false;
  }
  return true;
}

int IEffectBase::UnserializeParams(const IStateChunk& chunk, int position) {
  ScopedLock hold(mLock);
  for (int i = 0; i < ParamCount() && position >= 0; ++i) {
    IParameter* param = ParamAt(i);
    TracePoint("IEffectBase::UnserializeParams", __LINE__, "%d %s", i, param->Name());
    double v = 0.0;
    position = chunk.GetDouble(&v, position);
    // A NaN would pass the clamp and reach the model; it counts as a missing value.
    if (std::isnan(v)) v = 0.0;
    if (v < param->mMinimum) v = param->mMinimum;
    else if (v > param->mMaximum) v = param->mMaximum;
    param->mValue = v;
  }
  for (int i = 0; i < ParamCount(); ++i) OnParameterChanged(i);
  return position;
}

void IEffectBase::WriteChunkHeader(IStateChunk& chunk) {
  chunk.SetByteSize(0, true);
  chunk.PutInt32(kChunkMagic);
  chunk.PutInt32(kChunkVersion);
}

int32_t IEffectBase::ReadChunkHeader(const IStateChunk& chunk, int* position) {
  int32_t magic = 0;
  const int next = chunk.GetInt32(&magic, *position);
  // A chunk without the magic is a bare state without header.
  if (next < 0 || magic != kChunkMagic) return 0;
  int32_t version = 0;
  *position = chunk.GetInt32(&version, next);
  return *position < 0 ? 0 : version;
}

void IEffectBase::AddPresetSlot(int number) {
  PresetSlot* slot = new PresetSlot;
  std::snprintf(slot->name, sizeof slot->name, "- %d -", number);
  if (!mPresets.Add(slot)) delete slot;
}

void IEffectBase::StoreDefaultPresets(const char* name, int count) {
  for (int n = 0; n < count; ++n) {
    for (int i = 0; i < PresetCount(); ++i) {
      PresetSlot* slot = mPresets.Get(i);
      if (slot->filled) continue;
      slot->filled = true;
      CopyText(slot->name, name ? name : "Default", sizeof slot->name);
      SerializeParams(slot->chunk);
      break;
    }
  }
}

void IEffectBase::EnsureOnePreset() {
  if (PresetCount() > 0) return;
  AddPresetSlot(1);
  StoreDefaultPresets(nullptr, 1);
}

bool IEffectBase::LoadPreset(int index) {
  PresetSlot* slot = mPresets.Get(index);
  if (!slot) return false;
  bool loaded;
  if (slot->filled) {
    loaded = UnserializeParams(slot->chunk, 0) > 0;
  } else {
    // An unfilled slot takes the current values as a new user preset.
    slot->filled = true;
    NextUserPresetName(slot->name);
    loaded = SerializeParams(slot->chunk);
  }
  if (loaded) {
    mCurrentPreset = index;
    RefreshEditorValues();
  }
  return loaded;
}

void IEffectBase::UpdateCurrentPreset(const char* name) {
  PresetSlot* slot = mPresets.Get(mCurrentPreset);
  if (!slot) return;
  slot->chunk.SetByteSize(0, true);
  SerializeParams(slot->chunk);
  if (name && name[0]) CopyText(slot->name, name, sizeof slot->name);
}

void IEffectBase::NextUserPresetName(char* out) {
  int count = 0;
  for (int i = 0; i < PresetCount(); ++i) {
    if (std::strstr(mPresets.Get(i)->name, "user preset")) ++count;
  }
  std::snprintf(out, PresetSlot::kNameSize, "%s %d", "user preset", count + 1);
}

const char* IEffectBase::PresetName(int index) const {
  const PresetSlot* slot = mPresets.Get(index);
  return slot ? slot->name : "";
}

bool IEffectBase::PresetFilled(int index) const {
  const PresetSlot* slot = mPresets.Get(index);
  return slot && slot->filled;
}

void IEffectBase::SetPresetName(int index, const char* name) {
  PresetSlot* slot = mPresets.Get(index);
  if (slot) CopyText(slot->name, name, sizeof slot->name);
}
