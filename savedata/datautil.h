// Small helpers shared by the data-file readers of this folder.
#pragma once

#include <cstdint>

namespace savedata {


// The galleries' percentage: seen * 100 / total with integer division
// (total at least 1), but at least 1 as soon as anything is seen.
inline int SeenPercent(int64_t seen, int64_t total) {
  if (total < 1) total = 1;
  const int64_t percent = seen * 100 / total;
  return seen > 0 && percent == 0 ? 1 : static_cast<int>(percent);
}

}  // namespace savedata
