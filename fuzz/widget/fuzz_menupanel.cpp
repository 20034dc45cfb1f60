// A random settings list (the input up to its last '|') makes a menu setup
// and panel, a slider, a page pair with its back control, two animation
// parts and a floating button; every menu plays its appear animation over
// all types and edge times, then the bytes after the list drive frames of
// random input. Codes, pages and values must stay inside their ranges.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "fuzz/widget/widget_fuzz.h"
#include "input/inputstatus.h"
#include "graphics/dwqformat.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "platform/files.h"
#include "setup/namelist.h"
#include "widget/animepart.h"
#include "widget/backbutton.h"
#include "widget/buttoncode.h"
#include "widget/floatinglayertable.h"
#include "widget/menupanel.h"
#include "widget/sceneoptionbutton.h"
#include "widget/slider.h"
#include "widget/updownbutton.h"

namespace {

using Reader = fuzzsupport::Reader;

using widgetfuzz::CheckCode;
using widgetfuzz::MakePicture;
using widgetfuzz::WritePicture;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzsupport::EnterGameFolder("dwq/sys");
  InitPictureLoader(dwq::kDecodeMegabytes);
  WritePicture("ta_anime", 48, 32);
  WritePicture("ta_scene_bt1", 16, 16);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t split = size;
  while (split > 0 && data[split - 1] != '|') --split;
  const size_t listSize = split > 0 ? split - 1 : size;
  if (!platform::WriteWholeFile("menu.xtx", data, listSize)) return 0;
  CNameList list;
  if (!list.Load("menu.xtx", false, true)) return 0;
  Reader in(data + split, size - split);

  CScreenBuffer screen(64, 48, 0);
  auto picture = MakePicture(48, 40);
  auto back = MakePicture(64, 48);

  CMenuButtonSetup setup(&list, in.Byte() % 10 - 2);
  CMenuButtonPanel panel(&setup, back.get());
  const int columns = panel.GetColumns();
  for (int c = 0; c < columns; ++c) panel.SetPicture(c, picture.get(), -1);
  const int timeMax = in.Signed();
  const int times[] = {INT_MIN, -1, 0, timeMax / 2, timeMax, timeMax + 1, INT_MAX};
  for (int m = 0; m < setup.GetMenus() && m < 4; ++m) {
    panel.SetMenu(m);
    panel.Init();
    for (int type = -2; type < 26; ++type)
      for (int time : times) panel.PrintAnime(time, timeMax, type, in.Signed(), in.Signed());
    CScreenBuffer::ClearDirtyRects();
  }
  panel.SetMenu(in.Byte());
  panel.Init();

  CCommonSlider slider(picture.get(), in.Int(), in.Signed(), in.Signed(), in.Int() % 300,
                       in.Signed(), in.Signed(), in.Signed(), in.Byte() % 2, back.get(), 0);
  slider.SetKnob(picture.get(), in.Signed(), in.Signed(), in.Signed(), in.Signed(), in.Byte() % 2);

  CUpDownButton pair(&list, back.get());
  pair.SetPicture(0, picture.get());
  pair.SetPicture(1, picture.get());
  CCommonBackButton backButton(&list, "back", back.get());
  backButton.SetPicture(picture.get());
  CCommonUpdownBack control(&backButton, &pair);
  control.SetPageMax(in.Int());
  control.SetPage(in.Int());
  control.Init();

  CAnimePart part("a", &list, 1);
  CVarAnimePart varPart(&list, "v", back.get());
  varPart.SetPicture(picture.get());
  CFloatingLayerTable table;
  CSceneOptionButton floating("f", &table, in.Byte() % 36 - 2, &list);
  floating.Init();

  CMouseStatus mouse;
  CMyKeyStatus keys;
  CInputStatus input;
  input.SetMouseStatus(&mouse);
  input.SetKeyStatus(&keys);
  for (int frame = 0; frame < 200 && in.More(); ++frame) {
    table.RestoreAll();
    mouse.SetPos(in.Signed(), in.Signed());
    const int buttons = in.Byte();
    if (buttons & 1) mouse.SetButton(0, 1);
    if (buttons & 2) mouse.SetButton(1, 1);
    if (buttons & 4) mouse.SetButton(0, 0);
    mouse.SetWheel((buttons >> 3) % 3 - 1);
    if (buttons & 0x20) keys.SetKey(in.Byte(), 1);
    const CInputStatus* given = (buttons & 0xC0) == 0xC0 ? nullptr : &input;

    CheckCode(panel.Calcu(given, 0), columns);
    const int32_t code = control.Calcu(given);
    CheckCode(code, CUpDownButton::kMaxPages + 1);
    if (GetButtonCodeKind(code) == buttoncode::kDecided && GetButtonCodeNumber(code) > 0)
      fuzzsupport::Check(GetButtonCodeNumber(code) == control.GetPage() + 1, "page number");
    fuzzsupport::Check(control.GetPage() >= 0 && control.GetPage() <= CUpDownButton::kMaxPages - 1,
                       "page inside the count");
    const int value = slider.Calcu(given ? &mouse : nullptr);
    fuzzsupport::Check(value == -1 || (value >= 0 && value <= slider.GetMax()), "slider value");
    CheckCode(floating.Calcu(given), 1);

    switch (in.Byte() % 8) {
      case 0: panel.Init(); break;
      case 1: panel.SetMenu(in.Signed()); panel.Init(); break;
      case 2: panel.SetExist(in.Signed(), in.Byte() % 2, in.Signed()); break;
      case 3: control.SetPageMax(in.Signed()); break;
      case 4: slider.SetValue(in.Int()); break;
      case 5: part.Calcu(in.Int()); break;
      case 6: panel.PrintAnime(in.Signed(), in.Signed(), in.Byte() % 28 - 1, in.Signed(), in.Signed()); break;
      default: break;
    }
    panel.Print();
    control.Print();
    slider.Print(buttons & 0x40, (buttons >> 7) & 1);
    part.Calcu(1);
    part.Print(in.Signed(), in.Signed());
    varPart.Print(in.Int(), buttons & 0x10);
    floating.Print(buttons & 0x80);
    CScreenBuffer::ClearDirtyRects();
    mouse.Calcu();
    keys.Clear();
  }
  panel.Release();
  setup.Release();
  pair.Release();
  return 0;
}
