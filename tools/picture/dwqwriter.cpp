#include "dwqwriter.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "graphics/dwqformat.h"

namespace dwqtool {
namespace {

void Put16(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>* out, uint32_t v) {
  for (int i = 0; i < 32; i += 8) out->push_back(static_cast<uint8_t>(v >> i));
}

void Set32(std::vector<uint8_t>* out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*out)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

int Stride(int bits, int width) { return ((bits / 8) * width + 3) & ~3; }

bool CheckSize(int width, int height, size_t pixels, std::string* error) {
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) {
    *error = "the picture size must be 1..65535 each way";
    return false;
  }
  if (pixels != static_cast<size_t>(width) * height) {
    *error = "the pixel count does not match the size";
    return false;
  }
  return true;
}

std::vector<uint8_t> OpaqueAlpha(const std::vector<uint8_t>& alpha, size_t count) {
  return alpha.empty() ? std::vector<uint8_t>(count, 255) : alpha;
}

}  // namespace

std::vector<uint8_t> AssembleFile(const Options& options, int width, int height,
                                  const std::vector<uint8_t>& body,
                                  const std::vector<uint8_t>& alpha) {
  // A PNG body carries its own alpha; packed bodies always have a section.
  const bool mask =
      options.body != BodyType::kPng && (options.mask || options.body == BodyType::kPacked);
  const std::vector<uint8_t> fullAlpha = OpaqueAlpha(alpha, static_cast<size_t>(width) * height);
  Box box = options.autoBox ? OpaqueBox(fullAlpha, width, height) : options.box;
  std::vector<uint8_t> out;
  AppendHeader(&out, TypeFor(options.body, mask), options.headerBox, box,
               static_cast<int32_t>(body.size()), width, options.negativeHeight ? -height : height);
  out.insert(out.end(), body.begin(), body.end());
  if (mask) {
    std::vector<uint8_t> section = MaskSection(fullAlpha, width, height);
    out.insert(out.end(), section.begin(), section.end());
  }
  return out;
}

char TypeFor(BodyType body, bool mask) {
  switch (body) {
    case BodyType::kPacked:
      return dwq::kTypePacked;
    case BodyType::kJpeg:
      return mask ? dwq::kTypeJpegMask : dwq::kTypeJpeg;
    case BodyType::kPng:
      return dwq::kTypePng;
    default:
      return mask ? dwq::kTypeBmpMask : dwq::kTypeBmp;
  }
}

void AppendHeader(std::vector<uint8_t>* out, char type, bool boxFlag, const Box& box,
                  int32_t bodySize, int32_t width, int32_t height) {
  const size_t at = out->size();
  out->resize(at + dwq::kHeaderSize, 0);
  const int32_t absHeight = height < 0 ? -height : height;
  if (boxFlag) {
    Set32(out, at + dwq::kBoxTop, static_cast<uint32_t>(box.top));
    Set32(out, at + dwq::kBoxLeft, static_cast<uint32_t>(box.left));
    Set32(out, at + dwq::kBoxRightMargin, static_cast<uint32_t>(width - box.right));
    Set32(out, at + dwq::kBoxBottomMargin, static_cast<uint32_t>(absHeight - box.bottom));
    (*out)[at + dwq::kBoxFlag] = static_cast<uint8_t>(dwq::kBoxFlagSet);
  }
  Set32(out, at + dwq::kBodySize, static_cast<uint32_t>(bodySize));
  Set32(out, at + dwq::kWidth, static_cast<uint32_t>(width));
  Set32(out, at + dwq::kHeight, static_cast<uint32_t>(height));
  (*out)[at + dwq::kType] = static_cast<uint8_t>(type);
}

void AppendBmpHeaders(std::vector<uint8_t>* out, int bits, int32_t width, int32_t height,
                      uint32_t clrUsed, uint32_t paletteBytes, uint32_t imageBytes) {
  const uint32_t offBits = dwq::kBmpHeadersSize + paletteBytes;
  Put16(out, 0x4D42);  // "BM"
  Put32(out, offBits + imageBytes);
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, offBits);
  Put32(out, dwq::kInfoHeaderSize);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bits));
  Put32(out, 0);  // no compression
  Put32(out, imageBytes);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, clrUsed);
  Put32(out, 0);
}

void AppendPalette(std::vector<uint8_t>* out, const std::vector<uint32_t>& colours, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const uint32_t c = i < colours.size() ? colours[i] : 0;
    out->push_back(static_cast<uint8_t>(c));        // blue
    out->push_back(static_cast<uint8_t>(c >> 8));   // green
    out->push_back(static_cast<uint8_t>(c >> 16));  // red
    out->push_back(0);
  }
}

std::vector<uint8_t> PackRows(const uint8_t* rows, int width, int height) {
  std::vector<uint8_t> out;
  std::vector<uint8_t> previous(static_cast<size_t>(width), 0);
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = rows + static_cast<size_t>(y) * width;
    int x = 0;
    while (x < width) {
      const uint8_t diff = row[x] ^ previous[x];
      if (diff) {
        out.push_back(diff);
        ++x;
        continue;
      }
      int run = 0;
      while (x + run < width && run < 255 && (row[x + run] ^ previous[x + run]) == 0) ++run;
      out.push_back(0);
      out.push_back(static_cast<uint8_t>(run));
      x += run;
    }
    previous.assign(row, row + width);
  }
  return out;
}

std::vector<uint8_t> MaskSection(const std::vector<uint8_t>& alpha, int width, int height) {
  std::vector<uint32_t> grey(256);
  for (uint32_t i = 0; i < 256; ++i) grey[i] = i * 0x010101u;
  const std::vector<uint8_t> coded = PackRows(alpha.data(), width, height);
  std::vector<uint8_t> out;
  AppendBmpHeaders(&out, 8, width, height, 0, 256 * 4, static_cast<uint32_t>(coded.size()));
  AppendPalette(&out, grey, 256);
  out.insert(out.end(), coded.begin(), coded.end());
  return out;
}

Box OpaqueBox(const std::vector<uint8_t>& alpha, int width, int height) {
  Box box{width, height, 0, 0};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (!alpha[static_cast<size_t>(y) * width + x]) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  if (box.right == 0) box = Box{};
  return box;
}

bool MakeDwqIndexed(const Indexed& picture, const std::vector<uint8_t>& alpha,
                    const Options& options, std::vector<uint8_t>* out, std::string* error) {
  const int w = picture.width, h = picture.height;
  if (!CheckSize(w, h, picture.indices.size(), error)) return false;
  if (!alpha.empty() && alpha.size() != picture.indices.size()) {
    *error = "the alpha count does not match the size";
    return false;
  }
  if (options.body != BodyType::kBmp8 && options.body != BodyType::kPacked) {
    *error = "an 8-bit picture needs an 8-bit body";
    return false;
  }
  if (picture.palette.empty() || picture.palette.size() > 256) {
    *error = "the palette must have 1..256 colours";
    return false;
  }
  for (uint8_t index : picture.indices)
    if (index >= picture.palette.size() && !options.fullPalette) {
      *error = "an index lies beyond the stored palette";
      return false;
    }
  const size_t entries = options.fullPalette ? 256 : picture.palette.size();
  const uint32_t clrUsed = options.fullPalette ? 0 : static_cast<uint32_t>(entries);
  const int32_t biHeight = options.negativeHeight ? -h : h;

  std::vector<uint8_t> data;
  if (options.body == BodyType::kPacked) {
    data = PackRows(picture.indices.data(), w, h);
  } else {
    const int stride = Stride(8, w);
    data.assign(static_cast<size_t>(stride) * h, 0);
    for (int y = 0; y < h; ++y)
      std::copy_n(picture.indices.begin() + static_cast<ptrdiff_t>(y) * w, w,
                  data.begin() + static_cast<ptrdiff_t>(y) * stride);
  }
  std::vector<uint8_t> body;
  AppendBmpHeaders(&body, 8, w, biHeight, clrUsed, static_cast<uint32_t>(entries * 4),
                   static_cast<uint32_t>(data.size()));
  AppendPalette(&body, picture.palette, entries);
  body.insert(body.end(), data.begin(), data.end());
  *out = AssembleFile(options, w, h, body, alpha);
  return true;
}

bool IndexColours(const Picture& picture, Indexed* out, std::string* error) {
  *out = Indexed{picture.width, picture.height, {}, {}};
  std::map<uint32_t, uint8_t> seen;
  out->indices.reserve(picture.pixels.size());
  for (uint32_t p : picture.pixels) {
    auto it = seen.find(p);
    if (it == seen.end()) {
      if (seen.size() == 256) {
        *error = "an 8-bit body holds at most 256 colours";
        return false;
      }
      it = seen.emplace(p, static_cast<uint8_t>(seen.size())).first;
      out->palette.push_back(p & 0xFFFFFF);
    }
    out->indices.push_back(it->second);
  }
  return true;
}

bool MakeAnimeFrame(const Picture& picture, std::vector<uint8_t>* out, std::string* error) {
  const int w = picture.width, h = picture.height;
  Indexed indexed;
  if (!CheckSize(w, h, picture.pixels.size(), error) || !IndexColours(picture, &indexed, error))
    return false;
  const size_t entries = indexed.palette.size();
  out->clear();
  AppendHeader(out, '1', false, Box{}, 0, w, h);
  AppendBmpHeaders(out, 8, w, h, static_cast<uint32_t>(entries), static_cast<uint32_t>(entries * 4),
                   static_cast<uint32_t>(indexed.indices.size()));
  AppendPalette(out, indexed.palette, entries);
  out->insert(out->end(), indexed.indices.begin(), indexed.indices.end());
  return true;
}

bool MakeDwq(const Picture& picture, const Options& options, std::vector<uint8_t>* out,
             std::string* error) {
  const int w = picture.width, h = picture.height;
  if (!CheckSize(w, h, picture.pixels.size(), error)) return false;
  if (!picture.alpha.empty() && picture.alpha.size() != picture.pixels.size()) {
    *error = "the alpha count does not match the size";
    return false;
  }
  if (options.body == BodyType::kJpeg) {
    std::vector<uint8_t> body;
    if (!EncodeJpeg(picture, options, &body, error)) return false;
    *out = AssembleFile(options, w, h, body, picture.alpha);
    return true;
  }
  if (options.body == BodyType::kPng) {
    // 8-bit RGB, or RGBA when the picture has alpha.
    const bool alpha = !picture.alpha.empty();
    PngImage image;
    image.width = w;
    image.height = h;
    image.colourType = alpha ? 6 : 2;
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
      const uint32_t p = picture.pixels[i];
      image.samples.insert(image.samples.end(), {static_cast<uint16_t>((p >> 16) & 0xFF),
                                                 static_cast<uint16_t>((p >> 8) & 0xFF),
                                                 static_cast<uint16_t>(p & 0xFF)});
      if (alpha) image.samples.push_back(picture.alpha[i]);
    }
    std::vector<uint8_t> body;
    if (!EncodePng(image, &body, error)) return false;
    *out = AssembleFile(options, w, h, body, picture.alpha);
    return true;
  }
  if (options.body != BodyType::kBmp24) {
    Indexed indexed;
    return IndexColours(picture, &indexed, error) &&
           MakeDwqIndexed(indexed, picture.alpha, options, out, error);
  }
  // 24-bit rows, top row first, each pixel red, green, blue.
  const int stride = Stride(24, w);
  std::vector<uint8_t> data(static_cast<size_t>(stride) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t p = picture.pixels[static_cast<size_t>(y) * w + x];
      uint8_t* at = &data[static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3];
      at[0] = static_cast<uint8_t>(p >> 16);
      at[1] = static_cast<uint8_t>(p >> 8);
      at[2] = static_cast<uint8_t>(p);
    }
  std::vector<uint8_t> body;
  AppendBmpHeaders(&body, 24, w, options.negativeHeight ? -h : h, 0, 0,
                   static_cast<uint32_t>(data.size()));
  body.insert(body.end(), data.begin(), data.end());
  *out = AssembleFile(options, w, h, body, picture.alpha);
  return true;
}

namespace {

// libjpeg and libpng report errors by jumping back to the caller's set-up;
// everything they touch lives in these jobs, not in locals of the function
// that set the jump.
struct JpegErrors {
  jpeg_error_mgr manager;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX] = {};
  char warning[JMSG_LENGTH_MAX] = {};  // the first warning (damaged data)
};

struct JpegJob {
  jpeg_compress_struct cinfo;
  JpegErrors errors;
  unsigned char* memory = nullptr;
  unsigned long size = 0;
  const Picture* picture = nullptr;
  const Options* options = nullptr;
  std::vector<uint8_t> rgb;
};

void OnJpegError(j_common_ptr cinfo) {
  JpegErrors* errors = static_cast<JpegErrors*>(cinfo->client_data);
  cinfo->err->format_message(cinfo, errors->message);
  std::longjmp(errors->jump, 1);
}

void OnJpegMessage(j_common_ptr cinfo, int level) {
  JpegErrors* errors = static_cast<JpegErrors*>(cinfo->client_data);
  if (level < 0 && errors->warning[0] == 0) cinfo->err->format_message(cinfo, errors->warning);
}

// The error manager of a libjpeg object: errors jump back with their text,
// warnings are dropped.
void SetJpegErrors(j_common_ptr cinfo, JpegErrors* errors) {
  cinfo->err = jpeg_std_error(&errors->manager);
  errors->manager.error_exit = OnJpegError;
  errors->manager.emit_message = OnJpegMessage;
  cinfo->client_data = errors;
}

struct JpegDecodeJob {
  jpeg_decompress_struct cinfo;
  JpegErrors errors;
  const std::vector<uint8_t>* stream = nullptr;
  Picture* out = nullptr;
  std::vector<uint8_t> row;
  bool tooLarge = false;
};

void JpegDecodeSteps(JpegDecodeJob* job) {
  jpeg_decompress_struct& c = job->cinfo;
  jpeg_mem_src(&c, job->stream->data(), static_cast<unsigned long>(job->stream->size()));
  jpeg_read_header(&c, TRUE);
  if (int64_t{c.image_width} * c.image_height > dwq::kMaxPixels) {
    job->tooLarge = true;
    return;
  }
  c.out_color_space = JCS_RGB;
  jpeg_start_decompress(&c);
  Picture& p = *job->out;
  p.width = static_cast<int>(c.output_width);
  p.height = static_cast<int>(c.output_height);
  p.pixels.assign(static_cast<size_t>(p.width) * p.height, 0);
  p.alpha.clear();
  job->row.resize(static_cast<size_t>(p.width) * 3);
  while (c.output_scanline < c.output_height) {
    const size_t y = c.output_scanline;
    JSAMPROW row = job->row.data();
    jpeg_read_scanlines(&c, &row, 1);
    for (int x = 0; x < p.width; ++x) {
      const uint8_t* rgb = &job->row[static_cast<size_t>(x) * 3];
      p.pixels[y * p.width + x] = (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2];
    }
  }
  jpeg_finish_decompress(&c);
}

bool RunJpegDecode(JpegDecodeJob* job) {
  if (setjmp(job->errors.jump)) return false;
  JpegDecodeSteps(job);
  return true;
}

void JpegSteps(JpegJob* job) {
  jpeg_compress_struct& c = job->cinfo;
  const Picture& p = *job->picture;
  const Options& o = *job->options;
  jpeg_mem_dest(&c, &job->memory, &job->size);
  c.image_width = static_cast<JDIMENSION>(p.width);
  c.image_height = static_cast<JDIMENSION>(p.height);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, o.jpegQuality, TRUE);
  c.comp_info[0].h_samp_factor = o.jpegSampling == JpegSampling::k444 ? 1 : 2;
  c.comp_info[0].v_samp_factor = o.jpegSampling == JpegSampling::k420 ? 2 : 1;
  for (int i = 1; i < 3; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
  c.restart_interval = static_cast<unsigned int>(o.jpegRestart);
  if (o.jpegProgressive) jpeg_simple_progression(&c);
  if (!o.jpegTables) jpeg_suppress_tables(&c, TRUE);
  // Writing all tables would undo the suppression.
  jpeg_start_compress(&c, o.jpegTables ? TRUE : FALSE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = job->rgb.data() + static_cast<size_t>(c.next_scanline) * p.width * 3;
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
}

bool RunJpeg(JpegJob* job) {
  if (setjmp(job->errors.jump)) return false;
  JpegSteps(job);
  return true;
}

struct PngJob {
  png_structp png = nullptr;
  png_infop info = nullptr;
  const PngImage* image = nullptr;
  std::vector<uint8_t>* out = nullptr;
  std::vector<std::vector<uint8_t>> rows;
  std::vector<png_bytep> rowPointers;
  std::vector<png_color> palette;
  std::vector<png_byte> alphas;
  png_color_16 trans{};
};

void OnPngWrite(png_structp png, png_bytep data, size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void OnPngFlush(png_structp) {}

bool RunPng(PngJob* job) {
  if (setjmp(png_jmpbuf(job->png))) return false;
  const PngImage& im = *job->image;
  png_set_write_fn(job->png, job->out, OnPngWrite, OnPngFlush);
  // Palette indices past the palette are written as given: readers must
  // cope with them.
  png_set_check_for_invalid_index(job->png, 0);
  png_set_IHDR(job->png, job->info, static_cast<png_uint_32>(im.width),
               static_cast<png_uint_32>(im.height), im.bitDepth, im.colourType,
               im.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!job->palette.empty())
    png_set_PLTE(job->png, job->info, job->palette.data(), static_cast<int>(job->palette.size()));
  if (im.colourType == 3 && !job->alphas.empty())
    png_set_tRNS(job->png, job->info, job->alphas.data(), static_cast<int>(job->alphas.size()),
                 nullptr);
  else if (im.transColour)
    png_set_tRNS(job->png, job->info, nullptr, 0, &job->trans);
  png_write_info(job->png, job->info);
  png_write_image(job->png, job->rowPointers.data());
  png_write_end(job->png, nullptr);
  return true;
}

}  // namespace

bool EncodeJpeg(const Picture& picture, const Options& options, std::vector<uint8_t>* out,
                std::string* error) {
  if (!CheckSize(picture.width, picture.height, picture.pixels.size(), error)) return false;
  if (options.jpegQuality < 1 || options.jpegQuality > 100) {
    *error = "the JPEG quality must be 1..100";
    return false;
  }
  if (options.jpegRestart < 0 || options.jpegRestart > 65535) {
    *error = "the restart interval must be 0..65535";
    return false;
  }
  auto job = std::make_unique<JpegJob>();
  job->picture = &picture;
  job->options = &options;
  job->rgb.reserve(picture.pixels.size() * 3);
  for (uint32_t p : picture.pixels)
    job->rgb.insert(job->rgb.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                     static_cast<uint8_t>(p)});
  SetJpegErrors(reinterpret_cast<j_common_ptr>(&job->cinfo), &job->errors);
  jpeg_create_compress(&job->cinfo);
  const bool ok = RunJpeg(job.get());
  jpeg_destroy_compress(&job->cinfo);
  if (ok)
    out->assign(job->memory, job->memory + job->size);
  else
    *error = std::string("libjpeg: ") + job->errors.message;
  std::free(job->memory);
  return ok;
}

bool DecodeJpeg(const std::vector<uint8_t>& stream, Picture* out, std::string* error) {
  auto job = std::make_unique<JpegDecodeJob>();
  job->stream = &stream;
  job->out = out;
  SetJpegErrors(reinterpret_cast<j_common_ptr>(&job->cinfo), &job->errors);
  jpeg_create_decompress(&job->cinfo);
  const bool ok = RunJpegDecode(job.get());
  jpeg_destroy_decompress(&job->cinfo);
  if (!ok || job->errors.warning[0]) {
    *error = std::string("libjpeg: ") + (ok ? job->errors.warning : job->errors.message);
    return false;
  }
  if (job->tooLarge) {
    *error = "the JPEG has more pixels than the engine holds in one picture";
    return false;
  }
  return true;
}

bool EncodePng(const PngImage& image, std::vector<uint8_t>* out, std::string* error) {
  static const int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
  const int type = image.colourType, depth = image.bitDepth;
  if (type < 0 || type > 6 || kChannels[type] == 0 ||
      (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16)) {
    *error = "not a PNG colour type and bit depth";
    return false;
  }
  const int channels = kChannels[type];
  if (image.width <= 0 || image.height <= 0 ||
      image.samples.size() != static_cast<size_t>(image.width) * image.height * channels) {
    *error = "the sample count does not match the size";
    return false;
  }
  PngJob job;
  job.image = &image;
  job.out = out;
  out->clear();
  // Rows packed at the bit depth: high bits first, 16-bit samples high
  // byte first.
  const size_t perRow = static_cast<size_t>(image.width) * channels;
  for (int y = 0; y < image.height; ++y) {
    std::vector<uint8_t> row((perRow * depth + 7) / 8, 0);
    for (size_t i = 0; i < perRow; ++i) {
      const uint16_t v = image.samples[y * perRow + i];
      if (depth == 16) {
        row[2 * i] = static_cast<uint8_t>(v >> 8);
        row[2 * i + 1] = static_cast<uint8_t>(v);
      } else if (depth == 8) {
        row[i] = static_cast<uint8_t>(v);
      } else {
        const size_t bit = i * depth;
        row[bit / 8] |= static_cast<uint8_t>((v & ((1 << depth) - 1)) << (8 - depth - bit % 8));
      }
    }
    job.rows.push_back(std::move(row));
  }
  for (auto& row : job.rows) job.rowPointers.push_back(row.data());
  for (uint32_t c : image.palette)
    job.palette.push_back(
        {static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8), static_cast<png_byte>(c)});
  job.alphas.assign(image.paletteAlpha.begin(), image.paletteAlpha.end());
  job.trans.gray = image.transGrey;
  job.trans.red = image.transRed;
  job.trans.green = image.transGreen;
  job.trans.blue = image.transBlue;
  job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  job.info = job.png ? png_create_info_struct(job.png) : nullptr;
  bool ok = job.png && job.info && RunPng(&job);
  png_destroy_write_struct(&job.png, &job.info);
  if (!ok) *error = "libpng cannot write this image";
  return ok;
}

bool WriteBytes(const std::string& hostPath, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(hostPath.c_str(), "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace dwqtool
