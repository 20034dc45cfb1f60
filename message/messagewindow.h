// CCommonMessageWindow: the frame picture behind the message text and, when
// "nameWindowFlag" is on, the name window above it. The picture is chosen
// from three numbers, each with its count in the settings list
// "messageWindow": the design chosen in the options (config), the one the
// script chose, and the font-size type. The window is drawn at the
// player's opacity and answers whether a point lies on it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"
#include "setup/setuplist.h"

class CPicture;

class CCommonMessageWindow : public CBasicSetup {
 public:
  // More entries than this in a name table count every number once.
  static constexpr int kMaxEntries = 4096;

  CCommonMessageWindow();
  ~CCommonMessageWindow() override;
  virtual void Release();
  // Nothing when show is 0. Otherwise the window at its place moved by
  // offset (null: none), fully at percent 100 or more, blended at 1..99;
  // then the name window when showName is set and it is on.
  virtual void Print(int show, int showName, const platform::Point* offset);
  // Print with the window's top-left corner at position.
  virtual void PrintAt(int show, int showName, const platform::Point& position);

  // Each number is held to 0 .. its count - 1.
  void SetWindowNumberConfig(int n);
  void SetWindowNumberScript(int n);
  void SetFontSizeType(int n);
  void SetPercent(int percent) { percent_ = percent; }

  // 1 when (x, y) lies on the window, or, with withName and the name window
  // on, on the name window.
  int CheckHit(int x, int y, int withName) const;
  // The same for a point relative to the window's print position.
  int CheckHitLocal(int x, int y, int withName) const;

  int GetPrintX() const { return printX_; }
  int GetPrintY() const { return printY_; }
  int GetSizeX() const { return sizeX_; }
  int GetSizeY() const { return sizeY_; }
  int GetPercent() const { return percent_; }
  int GetNameWindowFlag() const { return nameWindowFlag_; }
  int GetWindowNumberConfig() const { return config_; }
  int GetWindowNumberScript() const { return script_; }
  int GetFontSizeType() const { return fontSizeType_; }
  int GetCount(int which) const { return counts_[which]; }
  // The picture names of (config, script, font-size type); "" outside.
  const std::string& GetWindowName(int config, int script, int type) const;
  const std::string& GetNameWindowName(int config, int script, int type) const;
  CPicture* GetWindowPicture() const { return windowFace_.picture.get(); }
  CPicture* GetNameWindowPicture() const { return nameFace_.picture.get(); }

 private:
  struct Face {
    std::unique_ptr<CPicture> picture;
    std::vector<std::string> names;
    int loaded[3] = {-1, -1, -1};
  };
  void FillNames(Face* face, const char* defaultKey, const char* defaultName,
                 const char* numberedKey);
  int HitAt(int64_t x, int64_t y, int withName) const;
  int Index(int config, int script, int type) const;
  void Reload(Face* face);
  void Draw(Face* face, int x, int y, int w, int h);

  int printX_ = 0, printY_ = 300, sizeX_ = 640, sizeY_ = 180;
  int namePrintX_ = 0, namePrintY_ = 200, nameSizeX_ = 640, nameSizeY_ = 100;
  Face windowFace_, nameFace_;
  int nameWindowFlag_ = 0;
  int config_ = 0, script_ = 0, fontSizeType_ = 0;
  int counts_[3] = {1, 1, 1};  // config, script, font-size type
  int percent_ = 100;
};
