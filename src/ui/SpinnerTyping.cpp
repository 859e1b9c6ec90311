#include "SpinnerTyping.h"

#include <cassert>
#include <cstring>

void* SpinnerTyping::Shown(int id, void* value) { return id_ == id ? entry_ : value; }

bool SpinnerTyping::Drawn(int id, void* value, size_t size, const void* before, bool typing, bool changed) {
  assert(size <= sizeof entry_);
  if (typing) {
    if (id_ != id) {
      // Typing starts (Ctrl+click, or Tab from another field, whose entry ends first):
      // park the entry, keep the variable as it was.
      if (id_ != -1) End();
      std::memcpy(entry_, value, size);
      std::memcpy(value, before, size);
      id_ = id;
      target_ = value;
      size_ = size;
    }
    field_drawn_ = true;
    return false;
  }
  if (id_ == id) {
    End();  // typing ended (Enter, or a click elsewhere)
    return false;
  }
  return changed;
}

void SpinnerTyping::FrameDone() {
  // The entry takes effect now, not when the panel next shows the field, where it would
  // undo whatever the keys changed meanwhile.
  if (id_ != -1 && !field_drawn_) End();
}

// The entry, clamped as it was typed, takes effect; reported when it changes the variable.
void SpinnerTyping::End() {
  const int id = id_;
  id_ = -1;
  const bool changed = std::memcmp(target_, entry_, size_) != 0;
  std::memcpy(target_, entry_, size_);
  if (changed) changed_(id);
}
