// Which keys the engine can read from a settings list. The catalogue is made
// at build time from every string literal of the engine's sources
// (zor-check-keygen): a key is known when it is such a literal, or a chain
// of them as the engine builds its keys: a button's name and a suffix
// ("menu1button1" + "SizeX"), a prefix and a colour part ("nameColor" +
// "R"), a name with a number appended ("logo" + "2"), format strings with
// their numbers put in ("fukuro%d_%d"). After the first piece, a piece
// shorter than three bytes is only a single capital letter at the end (a
// colour's "R", a place's "X"), numbers aside. ASCII case does not matter,
// as for the engine's own lookups. The catalogue is one for every settings list: a
// key that one list reads is accepted in all of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gamecheck {

// A name as the engine compares names without regard to case
// (platform::EqualNoCase): ASCII capitals made small, both bytes of a
// double-byte character kept. Two names are equal so when their folds are.
std::string FoldNoCase(std::string_view text);

class KnownKeys {
 public:
  // The catalogue made from the engine's sources.
  static const KnownKeys& Engine();
  // A catalogue of these literals (tests).
  explicit KnownKeys(const std::vector<std::string>& literals);

  bool IsKnown(std::string_view key) const;
  // A known key close to `key` (a letter or two off), or "" when none is.
  std::string Nearest(std::string_view key) const;

 private:
  // One element of a piece: literal bytes (folded), a run of digits, or any
  // one byte.
  struct Element {
    enum Kind { kText, kDigits, kAnyByte } kind = kText;
    std::string text;
  };
  using Piece = std::vector<Element>;

  void AddLiteral(std::string_view literal);
  // End positions of `piece` matched in `key` (folded) from `start`.
  void MatchPiece(const Piece& piece, size_t element, const std::string& key, size_t pos,
                  std::vector<size_t>& ends) const;
  // For every position, whether key[0, pos) is a chain of known pieces.
  std::vector<bool> Reach(const std::string& folded) const;

  std::vector<Piece> pieces_;
  // Per piece: the literal is one capital letter.
  std::vector<bool> capitals_;
  // Pieces by the first byte of their text (0: those starting with a
  // digit run or any byte).
  std::vector<std::vector<int>> byFirst_;
  // Plain literals (no format), folded and as written, for suggestions.
  std::vector<std::pair<std::string, std::string>> plain_;
};

}  // namespace gamecheck
