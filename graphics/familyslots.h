// The families of blitters, fillers and filters keep one object of each
// class in a static slot, made when the family is made and dropped with it.
#pragma once

#include <new>

namespace family {

template <typename T>
void Make(T** slot) {
  delete *slot;
  *slot = new (std::nothrow) T();
}

template <typename T>
void Drop(T** slot) {
  delete *slot;
  *slot = nullptr;
}

// For members that hold resources until their Release.
template <typename T>
void ReleaseAndDrop(T** slot) {
  if (*slot) (*slot)->Release();
  Drop(slot);
}

}  // namespace family
