// Fitting a photograph to the screen: zor-picture --fit WxH.
#pragma once

#include <string>

#include "dwqwriter.h"

namespace dwqtool {

// The part of a picture that --fit keeps: the largest centred rectangle of
// the target's shape (a wider picture loses its left and right edges, a
// taller one its top and bottom).
struct Crop {
  int x = 0, y = 0, width = 0, height = 0;
};
Crop CoverCrop(int width, int height, int targetWidth, int targetHeight);

// The picture scaled (libswscale, bicubic) to exactly width x height so
// that it covers the whole area, the overflow cut off evenly on both sides;
// the alpha, when the picture has one, is scaled with the colours. False
// with the reason when the scaler cannot be set up.
bool FitPicture(const Picture& in, int width, int height, Picture* out, std::string* error);

}  // namespace dwqtool
