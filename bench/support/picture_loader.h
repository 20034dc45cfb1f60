// The picture loader started for one benchmark's pictures and released when
// the benchmark is done; pictures this large decode through it.
#pragma once

#include "graphics/dwqformat.h"
#include "graphics/pictureloader.h"

namespace benchsupport {

class PictureLoaderScope {
 public:
  PictureLoaderScope() { InitPictureLoader(dwq::kDecodeMegabytes); }
  ~PictureLoaderScope() { ReleasePictureLoader(); }
  PictureLoaderScope(const PictureLoaderScope&) = delete;
  PictureLoaderScope& operator=(const PictureLoaderScope&) = delete;
};

}  // namespace benchsupport
