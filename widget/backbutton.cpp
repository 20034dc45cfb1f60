#include "widget/backbutton.h"

#include <cstdio>

#include "graphics/picture.h"

int ReloadButtonPicture(CCommonButton* button, const char* fallbackName) {
  if (!button || !button->GetPicture()) return 0;
  const char* name = button->GetFileName();
  if (!name || !*name) name = fallbackName;
  if (!name || !*name) return 0;
  char path[300];
  std::snprintf(path, sizeof path, "sys\\%.*s", 250, name);
  return button->GetPicture()->LoadDWQ(path);
}
