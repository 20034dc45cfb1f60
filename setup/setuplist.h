// Settings readers over a CNameList of key/value pairs. A key is found
// without regard to ASCII case, the first pair in file order wins, and a
// getter that finds nothing leaves the caller's default in *out.
#pragma once

class CNameList;

class CSetupList {
 public:
  CSetupList() = default;
  virtual ~CSetupList();
  CSetupList(const CSetupList&) = delete;
  CSetupList& operator=(const CSetupList&) = delete;

  // Loads the settings list `name` into the owned list (made with room for
  // `pairs` pairs on first use) and looks keys up there.
  int LoadSetupFile(const char* name, int pairs);
  // Looks keys up in a list owned elsewhere.
  void AttachList(CNameList* list) { lookup_ = list; }
  // 1 with the value in *out, or 0 with *out unchanged.
  int GetSetupInt(int* out, const char* key) const;
  int GetSetupString(const char** out, const char* key) const;
  // A text the engine shows: "key," (an empty value, meaning no text) is
  // read quietly, where the other getters tell it on stderr.
  int GetSetupText(const char** out, const char* key) const;
  // The list keys are looked up in; null before a load or attach.
  CNameList* GetList() const { return lookup_; }
  virtual void Release();

 private:
  CNameList* lookup_ = nullptr;
  CNameList* owned_ = nullptr;
};

class CBasicSetup {
 public:
  CBasicSetup() = default;
  virtual ~CBasicSetup();
  CBasicSetup(const CBasicSetup&) = delete;
  CBasicSetup& operator=(const CBasicSetup&) = delete;

  int LoadSetupFile(const char* name, int pairs);
  int GetSetupInt(int* out, const char* key) const;
  int GetSetupString(const char** out, const char* key) const;
  int GetSetupText(const char** out, const char* key) const;
  void Release();

 private:
  CNameList* owned_ = nullptr;
};
