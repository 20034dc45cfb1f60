#include "graphics/systempicture.h"

#include <cstring>
#include <new>
#include <string>

#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "platform/system.h"

namespace {

CSystemPicture* g_current = nullptr;

// Names longer than this are kept by their first kCut bytes.
constexpr size_t kLongest = 61;
constexpr size_t kCut = 62;

}  // namespace

CSystemPicture::CSystemPicture() {
  pictures_ = new (std::nothrow) CPicture*[kFirstCapacity]();
  names_ = new (std::nothrow) char[kFirstCapacity][kNameSlot]();
  if (!pictures_ || !names_) {
    delete[] pictures_;
    delete[] names_;
    pictures_ = nullptr;
    names_ = nullptr;
    return;
  }
  capacity_ = kFirstCapacity;
  // The stand-in given where no picture can be kept is optional: a game
  // without "sys\error" gets an empty one, without a word.
  {
    const CQuietMissingPictures quiet;
    pictures_[0] = new (std::nothrow) CPicture("sys\\error");
  }
  used_ = 1;
  g_current = this;
}

CSystemPicture::~CSystemPicture() {
  Release();
  if (g_current == this) g_current = nullptr;
}

void CSystemPicture::Release() {
  if (pictures_) {
    for (int i = 0; i < capacity_; ++i) {
      if (pictures_[i]) pictures_[i]->Release();
      delete pictures_[i];
    }
  }
  delete[] pictures_;
  delete[] names_;
  pictures_ = nullptr;
  names_ = nullptr;
  capacity_ = 0;
  used_ = 0;
}

int CSystemPicture::Expand(int n) {
  if (n <= 0 || !pictures_) return 0;
  const int grown = capacity_ + n;
  CPicture** pictures = new (std::nothrow) CPicture*[grown]();
  char(*names)[kNameSlot] = new (std::nothrow) char[grown][kNameSlot]();
  if (!pictures || !names) {
    delete[] pictures;
    delete[] names;
    return 0;
  }
  // The pictures themselves stay where they are; only the tables move.
  std::memcpy(pictures, pictures_, sizeof(CPicture*) * capacity_);
  std::memcpy(names, names_, sizeof(*names_) * capacity_);
  delete[] pictures_;
  delete[] names_;
  pictures_ = pictures;
  names_ = names;
  capacity_ = grown;
  return 1;
}

CPicture* CSystemPicture::Load(const char* name, int) {
  if (!pictures_) return nullptr;
  if (!name) return pictures_[0];
  // A long name is kept by its first bytes; a request is cut the same way
  // before the search, so asking again finds the entry instead of adding
  // (and loading) another one each time.
  std::string stored = name;
  const bool tooLong = stored.size() > kLongest;
  if (tooLong) stored.resize(kCut);
  for (int i = 0; i < used_; ++i)
    if (stored == names_[i]) return pictures_[i];
  if (used_ == capacity_ && !Expand(kGrowBy)) return pictures_[0];

  if (tooLong) {
    // "システムグラフィックのファイル名が長すぎます:" name
    std::string line =
        "\x83\x56\x83\x58\x83\x65\x83\x80\x83\x4f\x83\x89\x83\x74\x83\x42\x83\x62\x83\x4e\x82\xcc"
        "\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xaa\x92\xb7\x82\xb7\x82\xac\x82\xdc\x82\xb7:";
    line += name;
    platform::ErrorOutput(line.c_str());
  }
  CPicture* picture = new (std::nothrow) CPicture();
  if (!picture) return pictures_[0];
  std::memcpy(names_[used_], stored.c_str(), stored.size() + 1);
  pictures_[used_] = picture;
  if (!picture->LoadDWQ(("sys\\" + stored).c_str(), 0, nullptr) && !IsOptionalSystemPicture(stored.c_str())) {
    // The picture loader has said why when the file is there but broken.
    std::string line = "Load SystemPicture Error:";
    line += name;
    line += " (sys\\" + stored + ")";
    platform::ErrorOutput(line.c_str());
  }
  ++used_;
  return picture;
}

CPicture* LoadSystemPicture(const char* name, int flag) {
  return g_current ? g_current->Load(name, flag) : nullptr;
}

CPicture** CPicturePool::pictures_ = nullptr;

CPicturePool::CPicturePool() {
  if (!pictures_) pictures_ = new (std::nothrow) CPicture*[kCount]();
}

CPicturePool::~CPicturePool() { Release(); }

CPicture* CPicturePool::GetPicture(int index) {
  if (!pictures_) return nullptr;
  if (index < 0 || index >= kCount) index = 0;
  if (!pictures_[index]) pictures_[index] = new (std::nothrow) CPicture();
  return pictures_[index];
}

void CPicturePool::Release() {
  if (!pictures_) return;
  for (int i = 0; i < kCount; ++i) {
    if (pictures_[i]) pictures_[i]->Release();
    delete pictures_[i];
  }
  delete[] pictures_;
  pictures_ = nullptr;
}
