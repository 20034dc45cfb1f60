// CAutoSaveSubData: the base of objects whose state travels in a save
// slot's EXT chunk under a name of their own. The data size is the number
// of bytes the object asks the chunk to hold; save and load are given the
// chunk's body and its byte size and never go past it.
#pragma once

#include <cstddef>
#include <cstdint>

class CAutoSaveSubData {
 public:
  CAutoSaveSubData() = default;
  virtual ~CAutoSaveSubData() = default;
  CAutoSaveSubData(const CAutoSaveSubData&) = delete;
  CAutoSaveSubData& operator=(const CAutoSaveSubData&) = delete;
  virtual void Release() {}
  virtual void SaveData(uint8_t* buffer, size_t size) {
    (void)buffer;
    (void)size;
  }
  virtual void LoadData(const uint8_t* buffer, size_t size) {
    (void)buffer;
    (void)size;
  }
  void SetDataSize(int n) { dataSize_ = n; }
  int GetDataSize() const { return dataSize_; }

 private:
  int dataSize_ = 0;
};
