// CTextPart: drawing text: the glyph renderer with the render settings and
// the user fonts, the text printer over it, and the one-line text entry of
// the name-entry and save screens. It plays the text role (CTextServices)
// for the modes. The text keys of the list "game" (codeByte, fontWeight,
// defaultFont, the outline and the readings) are the render settings'
// (message/rendersettings.h).
#pragma once

#include <memory>

#include "services/textservices.h"

namespace platform {
class Window;
}  // namespace platform

class CCommonSystemFile;
class CSetupList;

class CTextPart : public CTextServices {
 public:
  // The keys of the list "game" this part reads.
  struct Settings {
    int imeAutoOpenFlag = 1;
    int imeAutoCloseFlag = 1;
  };

  // What the part uses: the parts it calls (their slots in the game's set,
  // so a part made later or replaced by a test's double is found) and what
  // the game was given.
  struct Links {
    platform::Window* window;
    CCommonSystemFile* systemFile;
    const CSetupList* const& list;  // null before the list loads
  };

  explicit CTextPart(const Links& links);
  virtual ~CTextPart();
  CTextPart(const CTextPart&) = delete;
  CTextPart& operator=(const CTextPart&) = delete;
  const Settings& GetSettings() const { return settings_; }
  Settings& GetSettings() { return settings_; }

  void ReadSettings();
  // The render settings (the player's face from the system file wins over
  // "defaultFont"), the glyph renderer, the text printer and the user
  // fonts; once.
  void Init();
  // The one-line text entry over the window and the text printer.
  void MakeTextInputBox();

  // --- CTextServices ---
  CFontPrint* GetFont() override { return font_.get(); }
  CTextPrint* GetTextBuffer() override { return textBuffer_.get(); }
  CTextInputBox* GetTextInputBox() override { return textInputBox_.get(); }
  void ResetTextPosition() override;

 private:
  const Links links_;
  Settings settings_;
  std::unique_ptr<CFontPrint> font_;
  std::unique_ptr<CTextPrint> textBuffer_;
  std::unique_ptr<CTextInputBox> textInputBox_;
};
