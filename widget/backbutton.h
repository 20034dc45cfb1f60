// CCommonBackButton: the cancel button of a screen. A click, the right
// mouse button and its accelerator keys trigger it.
#pragma once

#include "widget/commonbutton.h"

class CCommonBackButton : public CCommonButton {
 public:
  CCommonBackButton(CNameList* list, const char* name, CPicture* backPicture)
      : CCommonButton(list, name, backPicture) {
    SetCancelButton(1);
  }
};

// Loads the button's picture again from "sys\\<file name>", the button's
// own "%sFilename" value or, when it has none, `fallbackName`. Nothing
// without a button, a picture or a name; 1 when the picture loaded.
int ReloadButtonPicture(CCommonButton* button, const char* fallbackName);
