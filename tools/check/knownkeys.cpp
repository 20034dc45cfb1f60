#include "tools/check/knownkeys.h"

#include <algorithm>
#include <climits>

#include "platform/codec.h"

namespace gamecheck {

namespace {

// The catalogue's literals, written at build time.
const char* const kEngineLiterals[] = {
#include "enginekeys.inc"
};

// Keys the engine builds join at most this many pieces of text (numbers
// not counted): "exitFadeOutColor" "Special" "R".
constexpr int kMaxPieces = 4;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string FoldNoCase(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(out[i]);
    if (platform::IsCp932LeadByte(b)) {
      ++i;
    } else if (b >= 'A' && b <= 'Z') {
      out[i] = static_cast<char>(b - 'A' + 'a');
    }
  }
  return out;
}

namespace {

// Edits between two texts: a byte put in, left out or changed, or two
// neighbours swapped ("Titel" and "Title" are one edit apart).
size_t Distance(const std::string& a, const std::string& b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

// How far a suggestion may be from what was written.
size_t Tolerance(size_t length) { return length <= 5 ? 1 : length <= 12 ? 2 : 3; }

}  // namespace

const KnownKeys& KnownKeys::Engine() {
  static const KnownKeys keys(std::vector<std::string>(std::begin(kEngineLiterals), std::end(kEngineLiterals)));
  return keys;
}

KnownKeys::KnownKeys(const std::vector<std::string>& literals) : byFirst_(256) {
  for (const std::string& literal : literals) AddLiteral(literal);
}

// A format's "%s" splits it into pieces (what it stands for is a piece of
// its own), "%d" and its kin are digit runs, "%c" any one byte.
void KnownKeys::AddLiteral(std::string_view literal) {
  Piece piece;
  bool plain = true;
  auto text = [&piece](char c) {
    if (piece.empty() || piece.back().kind != Element::kText) piece.push_back({Element::kText, ""});
    piece.back().text += c;
  };
  auto finish = [this, &piece, literal] {
    if (piece.empty()) return;
    const Element& first = piece.front();
    const int bucket = first.kind == Element::kText ? static_cast<unsigned char>(first.text[0]) : 0;
    byFirst_[static_cast<size_t>(bucket)].push_back(static_cast<int>(pieces_.size()));
    pieces_.push_back(std::move(piece));
    capitals_.push_back(literal.size() == 1 && literal[0] >= 'A' && literal[0] <= 'Z');
    piece.clear();
  };
  const std::string folded = FoldNoCase(literal);
  for (size_t i = 0; i < folded.size(); ++i) {
    const char c = folded[i];
    if (c != '%' || i + 1 >= folded.size()) {
      text(c);
      continue;
    }
    size_t j = i + 1;
    while (j < folded.size() && std::string_view("-+ #0123456789.lhz").find(folded[j]) != std::string_view::npos) ++j;
    if (j >= folded.size()) {
      text(c);
      continue;
    }
    const char conversion = folded[j];
    plain = false;
    if (conversion == '%') {
      text('%');
    } else if (conversion == 's') {
      finish();
    } else if (conversion == 'c') {
      piece.push_back({Element::kAnyByte, ""});
    } else {
      piece.push_back({Element::kDigits, ""});
    }
    i = j;
  }
  finish();
  if (plain && folded.size() >= 3) plain_.emplace_back(folded, std::string(literal));
}

void KnownKeys::MatchPiece(const Piece& piece, size_t element, const std::string& key, size_t pos,
                           std::vector<size_t>& ends) const {
  if (element == piece.size()) {
    ends.push_back(pos);
    return;
  }
  const Element& e = piece[element];
  switch (e.kind) {
    case Element::kText:
      if (key.compare(pos, e.text.size(), e.text) == 0) MatchPiece(piece, element + 1, key, pos + e.text.size(), ends);
      break;
    case Element::kAnyByte:
      if (pos < key.size()) MatchPiece(piece, element + 1, key, pos + 1, ends);
      break;
    case Element::kDigits:
      for (size_t end = pos; end < key.size() && IsDigit(key[end]); ++end)
        MatchPiece(piece, element + 1, key, end + 1, ends);
      break;
  }
}

std::vector<bool> KnownKeys::Reach(const std::string& key) const {
  // open[pos]: the fewest pieces of text that reach pos (INT_MAX: none);
  // closed[pos]: the same, ending in a one-letter piece ("R" of a colour,
  // "X" of a place) after which only a number may come.
  std::vector<int> open(key.size() + 1, INT_MAX), closed(key.size() + 1, INT_MAX);
  open[0] = 0;
  std::vector<size_t> ends;
  for (size_t pos = 0; pos < key.size(); ++pos) {
    // A number appended to what came before.
    if (pos > 0 && IsDigit(key[pos])) {
      for (size_t end = pos; end < key.size() && IsDigit(key[end]); ++end) {
        if (open[pos] != INT_MAX) open[end + 1] = std::min(open[end + 1], open[pos]);
        if (closed[pos] != INT_MAX) closed[end + 1] = std::min(closed[end + 1], closed[pos]);
      }
    }
    if (open[pos] >= kMaxPieces) continue;
    for (int bucket : {static_cast<int>(static_cast<unsigned char>(key[pos])), 0}) {
      for (int index : byFirst_[static_cast<size_t>(bucket)]) {
        ends.clear();
        MatchPiece(pieces_[static_cast<size_t>(index)], 0, key, pos, ends);
        for (size_t end : ends) {
          if (end <= pos) continue;
          // After the first piece, a piece of one or two bytes is a single
          // capital letter that ends the text: "nameColor" "R" is a key,
          // "filename" "G" "B" and "messagePrintGyo" "u" are not.
          if (pos > 0 && end - pos < 3) {
            // A one-letter capital literal is one piece that matches one byte.
            if (capitals_[static_cast<size_t>(index)]) closed[end] = std::min(closed[end], open[pos] + 1);
            continue;
          }
          open[end] = std::min(open[end], open[pos] + 1);
        }
      }
      if (bucket == 0) break;
    }
  }
  std::vector<bool> reach(key.size() + 1);
  for (size_t pos = 0; pos <= key.size(); ++pos) reach[pos] = open[pos] != INT_MAX;
  reach[key.size()] = reach[key.size()] || closed[key.size()] != INT_MAX;
  return reach;
}

bool KnownKeys::IsKnown(std::string_view key) const {
  if (key.empty()) return false;
  const std::string folded = FoldNoCase(key);
  return Reach(folded)[folded.size()];
}

std::string KnownKeys::Nearest(std::string_view key) const {
  const std::string folded = FoldNoCase(key);
  const std::vector<bool> reach = Reach(folded);
  // tail[pos]: key[pos, end) is empty, a number, or a known chain after one.
  std::vector<bool> tail(folded.size() + 1, false);
  for (size_t pos = 0; pos <= folded.size(); ++pos) {
    size_t text = pos;
    while (text < folded.size() && IsDigit(folded[text])) ++text;
    tail[pos] = text == folded.size() || IsKnown(folded.substr(text));
  }
  // A known beginning, a known end and a plain literal close to what lies
  // between: "windowTitel" against "windowTitle", "menu1button1SizX" against
  // "menu1button1" "SizeX", "nameShadowColorR" against "nameShadeColor" "R".
  // The closest wins; between equals, the one closest in letter case too.
  std::string best;
  std::pair<size_t, size_t> bestScore{SIZE_MAX, SIZE_MAX};
  for (size_t start = 0; start < folded.size(); ++start) {
    if (!reach[start]) continue;
    for (size_t end = folded.size(); end > start; --end) {
      if (!tail[end]) continue;
      const std::string middle = folded.substr(start, end - start);
      const std::string written(key.substr(start, end - start));
      const size_t tolerance = Tolerance(middle.size());
      for (const auto& [plain, spelling] : plain_) {
        if (plain.size() + tolerance < middle.size() || middle.size() + tolerance < plain.size()) continue;
        const size_t d = Distance(middle, plain);
        if (d == 0 || d > tolerance || d > bestScore.first) continue;
        const std::pair<size_t, size_t> score{d, Distance(written, spelling)};
        if (score >= bestScore) continue;
        const std::string candidate = std::string(key.substr(0, start)) + spelling + std::string(key.substr(end));
        if (!IsKnown(candidate)) continue;
        bestScore = score;
        best = candidate;
      }
    }
  }
  return best;
}

}  // namespace gamecheck
