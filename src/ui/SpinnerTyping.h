// A value typed into one of the panel's spinners reaches its variable only when the typing
// ends (Enter, Tab, a click elsewhere, the field closed away), so a half-typed number
// ("15" on the way to "150") never rebuilds the mesh. One field is typed into at a time.
// GL-free: the panel tells it what ImGui did with each spinner.
#pragma once

#include <cstddef>

class SpinnerTyping {
 public:
  // `changed` hears the id of a spinner whose variable a finished entry changed.
  explicit SpinnerTyping(void (*changed)(int id)) : changed_(changed) {}

  // What the field of spinner `id` shows and edits: the entry while it is typed into,
  // else its variable `value`.
  void* Shown(int id, void* value);

  // After spinner `id` (variable `value`, `size` bytes, at most a double's) was drawn:
  // `before` holds the variable's bytes from before, `typing` says whether its field is
  // typed into now, `changed` whether ImGui changed what it showed. True when that change
  // stands as a drag's change of the variable; false while typing and as the typing ends.
  bool Drawn(int id, void* value, size_t size, const void* before, bool typing, bool changed);

  // Around each frame's spinners: a field typed into that was not drawn (its header was
  // closed) ends the typing at the frame's end, as a click elsewhere does.
  void FrameStarted() { field_drawn_ = false; }
  void FrameDone();

  // Drops an entry unapplied (the panel is removed).
  void Forget() { id_ = -1; }

 private:
  void End();

  void (*changed_)(int);
  int id_ = -1;  // the spinner typed into, -1 for none
  alignas(double) unsigned char entry_[sizeof(double)] = {};
  void* target_ = nullptr;  // the variable the entry is meant for
  size_t size_ = 0;
  bool field_drawn_ = false;  // the field typed into was drawn this frame
};
