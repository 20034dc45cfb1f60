// CTextServices: drawing text: the glyph renderer, the text printer and the
// one-line text entry.
#pragma once

class CFontPrint;
class CTextInputBox;
class CTextPrint;

class CTextServices {
 public:
  virtual CFontPrint* GetFont() = 0;
  virtual CTextPrint* GetTextBuffer() = 0;
  // The one-line text entry of the name-entry and save screens; null before
  // initialisation.
  virtual CTextInputBox* GetTextInputBox() = 0;
  // Empties the renderer's line cache (scene start, reset, after name input).
  virtual void ResetTextPosition() = 0;

 protected:
  ~CTextServices() = default;
};
