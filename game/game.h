// CGame: the title's game object over CGameCallBack. Its modes and its own
// script calls come with the game services; for now it only has its place.
#pragma once

#include "game/gamecallback.h"

class CGame : public CGameCallBack {
 public:
  // The desktop has no instance handle to pass; the rest is as the
  // application object hands it over.
  CGame(platform::Window* window, CCommonSystemFile* systemFile, int width, int height, int bpp);
  ~CGame() override;

  // Builds the mode set (none yet).
  void CreateModes() override;
};
