// Pictures drawn as text, for pictures kept in readable sources (the sample
// game's cursor and notice):
//
//   # a comment
//   . = 000000 00      one character, '=', RRGGBB and an optional alpha
//   # = FFFFFF         (alpha FF when left out)
//   .####.
//   #....#             every other line is a row; all rows are as long
//
// Blank lines are skipped. Every character of a row must be defined.
#pragma once

#include <string>

#include "dwqwriter.h"

namespace dwqtool {

// False with the reason (and its line number) in *error.
bool ReadTextGrid(const std::string& text, Picture* out, std::string* error);

}  // namespace dwqtool
