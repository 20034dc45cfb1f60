#include "game/game.h"

CGame::CGame(platform::Window* window, CCommonSystemFile* systemFile, int width, int height, int bpp)
    : CGameCallBack(window, systemFile, width, height, bpp) {}

CGame::~CGame() = default;

void CGame::CreateModes() {}
