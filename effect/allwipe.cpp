#include "effect/allwipe.h"

#include <algorithm>
#include <cstring>

#include "graphics/screenbuffer.h"
#include "setup/random.h"

CAllWipe::CAllWipe()
    : width_(std::max(CScreenBuffer::GetWidth(), 0)),
      height_(std::max(CScreenBuffer::GetHeight(), 0)) {
  spans_.assign(static_cast<size_t>(std::max({width_, height_, 1})) * 8, 0);
  const auto kinds = GetWipeKinds();
  for (const WipeNumber& entry : GetWipeNumbers()) {
    if (entry.number < 0 || entry.number >= kSlots) continue;
    const auto kind = std::find_if(kinds.begin(), kinds.end(), [&](const WipeKind& k) {
      return std::strcmp(k.name, entry.kind) == 0;
    });
    // A kind that cannot be made leaves its slot empty.
    if (kind != kinds.end() && kind->make) slots_[entry.number].reset(kind->make(this, entry.args));
  }
}

CAllWipe::~CAllWipe() { Release(); }

void CAllWipe::Release() {
  random_.clear();
  random_.shrink_to_fit();
  spans_.clear();
  spans_.shrink_to_fit();
  for (int n = kSlots - 1; n >= 0; --n) {
    if (!slots_[n]) continue;
    slots_[n]->Release();
    slots_[n].reset();
  }
}

CEffectSimpleWipeCommon* CAllWipe::GetWipe(int n) const {
  return n >= 0 && n < kSlots ? slots_[n].get() : nullptr;
}

void CAllWipe::Print(int n, CPicture* oldPicture, CPicture* newPicture, int progress, int max,
                     const int* oldOffset, const int* newOffset) {
  if (CEffectSimpleWipeCommon* wipe = GetWipe(n))
    wipe->Print(oldPicture, newPicture, progress, max, oldOffset, newOffset);
}

const int32_t* CAllWipe::GetRandomTable() {
  if (random_.empty() && height_ > 0) {
    random_.resize(static_cast<size_t>(height_) * 2);
    for (int32_t& v : random_) v = crt::rand() & 0x7FFF;
  }
  return random_.empty() ? nullptr : random_.data();
}
