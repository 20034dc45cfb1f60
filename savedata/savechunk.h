// The types of a save slot's chunks, as each chunk's header stores them,
// in the order a slot file holds them. The slot file writes and checks
// them; the game's save part hands each chunk to the code that fills or
// reads it by the same names.
#pragma once

namespace savechunk {

// Each chunk starts with a header of this many bytes: its size (header
// included), its type, two zero words and a 16-byte name.
constexpr int kHeaderSize = 32;

enum Type : int {
  kHeader = 0,  // the game's header name
  kInfo = 1,
  kGameStatus = 2,
  kMiniCG = 3,
  kGameVar = 4,
  kEffect = 5,
  kEffectFileName = 6,
  kMessage = 7,
  kOmakeClass = 8,  // only with the keyed flag table
  kCutin = 9,       // only when the game uses cut-ins
  kExt = 100,       // EXT chunk i is kExt + i
};

}  // namespace savechunk
