// The shared pictures: CSystemPicture caches the pictures of the folder
// "sys" by name, loaded once and handed out on every later request;
// CPicturePool holds 200 numbered work pictures. The game object makes one
// of each and deletes them at its end; callers never delete what they get.
#pragma once

class CPicture;

class CSystemPicture {
 public:
  static constexpr int kFirstCapacity = 200;
  static constexpr int kGrowBy = 100;
  static constexpr int kNameSlot = 64;

  // Entry 0 is the error picture "sys\\error". The newest cache is the one
  // LoadSystemPicture uses.
  CSystemPicture();
  ~CSystemPicture();
  CSystemPicture(const CSystemPicture&) = delete;
  CSystemPicture& operator=(const CSystemPicture&) = delete;

  // The picture "sys\\<name>" (names compared byte for byte, case counts);
  // never null. A null name, or a cache that cannot grow, gives entry 0. A
  // picture that fails to load stays cached, empty, under its name. The
  // flag has no effect.
  CPicture* Load(const char* name, int flag);
  // 1 with n more entries, 0 with nothing changed.
  int Expand(int n);
  void Release();

  int GetCapacity() const { return capacity_; }
  int GetUsed() const { return used_; }

 private:
  int capacity_ = 0;
  CPicture** pictures_ = nullptr;
  char (*names_)[kNameSlot] = nullptr;
  int used_ = 0;
};

// The picture from the current system cache, or null while there is none.
CPicture* LoadSystemPicture(const char* name, int flag);

class CPicturePool {
 public:
  static constexpr int kCount = 200;

  CPicturePool();
  ~CPicturePool();
  CPicturePool(const CPicturePool&) = delete;
  CPicturePool& operator=(const CPicturePool&) = delete;

  // Work picture index (outside 0..199: picture 0), made empty on first use;
  // null while no pool exists.
  static CPicture* GetPicture(int index);
  static void Release();

 private:
  static CPicture** pictures_;
};
