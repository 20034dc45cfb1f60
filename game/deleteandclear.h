// The game object's one rule for releasing what it owns: delete, then
// clear the pointer, so a later step (or a second destroy) finds nothing.
#pragma once

template <typename T>
void DeleteAndClear(T*& p) {
  delete p;
  p = nullptr;
}
