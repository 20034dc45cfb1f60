// The picture book for the gallery fuzz target: a random "selectzukan" list
// (seat, grid sizes and pitches of any sign, item count, appear and return
// variables, cursor), random "zukanon" calls, then its entry, hit tests,
// frames and drawing. A hit is always an item that has appeared.
#pragma once

#include "fuzz/mode/mode_fuzz.h"
#include "fuzz/support/fuzz_support.h"
#include "game/game.h"
#include "mode/selectzukan.h"

namespace bookfuzz {

constexpr const char* kKeys[] = {"filenameSeat", "zukanPrintX",  "zukanPrintY",  "zukanSizeX",         "zukanSizeY",
                                 "zukanNextX",   "zukanNextY",   "zukanNumberX", "zukanNumberY",       "zukanNumber",
                                 "appearVarName", "appearVarName2", "returnVarName", "filenamezukanCursor",
                                 "zukanCursorPattern", "zukanCursorType", "zukanCursorSizeX", "functionName"};
constexpr const char* kWords[] = {"strip", "ta_futa1", "missing", "v0", "", "zukanon"};

inline void Run(CGame& game, fuzzsupport::Reader& in) {
  modefuzz::Write("init\\selectzukan.xtx", modefuzz::RandomList(in, kKeys, kWords, 24));
  game.SetVar(0, modefuzz::Value(in));
  CCommonSelectZukan book(game.Roles());
  for (int k = in.Byte() % 6; k > 0; --k) {
    const int n = modefuzz::Value(in);
    book.Function(0, 1, &n);
  }
  book.BeforeInit();
  book.Init();
  for (int k = in.Byte() % 6; k > 0; --k) {
    const int x = in.Byte() * 4 - 100, y = in.Byte() * 3 - 100;
    const int hit = book.HitTest(x, y);
    fuzzsupport::Check(hit == -1 || book.HasAppeared(hit), "a hit is an item that appeared");
    book.Calcu();
    book.Print();
  }
}

}  // namespace bookfuzz
