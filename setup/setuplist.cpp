#include "setup/setuplist.h"

#include <cstdint>
#include <new>

#include "setup/namelist.h"
#include "setup/text.h"

namespace {

// The value token of `key`, or null when the key is missing or is the last
// token (a key without a value). An empty value read as a number or a name
// (not as a text) is told on stderr.
const char* FindValue(const CNameList* list, const char* key, bool text = false) {
  if (!list || !key) return nullptr;
  const int slot = list->SearchKey(key, true, -1);
  if (slot < 0) return nullptr;
  const char* value = list->GetName(slot + 1);
  if (value && !*value && !text) list->TellEmptyValue(slot);
  return value;
}


CNameList* LoadOwned(CNameList** owned, const char* name, int pairs, int* result) {
  if (!*owned) {
    int64_t capacity = static_cast<int64_t>(pairs) * 2;
    if (capacity < 0) capacity = 0;
    if (capacity > CNameList::kMaxSlots) capacity = CNameList::kMaxSlots;
    *owned = new (std::nothrow) CNameList(static_cast<int>(capacity));
  }
  *result = *owned ? (*owned)->LoadInit(name) : 0;
  return *owned;
}

int GetInt(const CNameList* list, int* out, const char* key) {
  const char* value = FindValue(list, key);
  if (!value || !out) return 0;
  *out = setup::ParseDecimal(value);
  return 1;
}

int GetString(const CNameList* list, const char** out, const char* key, bool text = false) {
  const char* value = FindValue(list, key, text);
  if (!value || !out) return 0;
  *out = value;
  return 1;
}

}  // namespace

CSetupList::~CSetupList() {
  delete owned_;
}

int CSetupList::LoadSetupFile(const char* name, int pairs) {
  int result = 0;
  lookup_ = LoadOwned(&owned_, name, pairs, &result);
  return result;
}

int CSetupList::GetSetupInt(int* out, const char* key) const { return GetInt(lookup_, out, key); }

int CSetupList::GetSetupString(const char** out, const char* key) const {
  return GetString(lookup_, out, key);
}

int CSetupList::GetSetupText(const char** out, const char* key) const {
  return GetString(lookup_, out, key, true);
}

void CSetupList::Release() {
  if (lookup_ == owned_) lookup_ = nullptr;
  delete owned_;
  owned_ = nullptr;
}

CBasicSetup::~CBasicSetup() { delete owned_; }

int CBasicSetup::LoadSetupFile(const char* name, int pairs) {
  int result = 0;
  LoadOwned(&owned_, name, pairs, &result);
  return result;
}

int CBasicSetup::GetSetupInt(int* out, const char* key) const { return GetInt(owned_, out, key); }

int CBasicSetup::GetSetupString(const char** out, const char* key) const {
  return GetString(owned_, out, key);
}

int CBasicSetup::GetSetupText(const char** out, const char* key) const {
  return GetString(owned_, out, key, true);
}

void CBasicSetup::Release() {
  delete owned_;
  owned_ = nullptr;
}
