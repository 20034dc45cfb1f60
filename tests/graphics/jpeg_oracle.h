// The system's libjpeg as an independent decoder of the same JPEG streams
// the engine decodes: chroma replicated (no smoothing), the given inverse
// transform, RGB out as 0x00RRGGBB; or only its entropy decoding, giving
// the coefficients of every block.
#pragma once

#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <memory>
#include <vector>

namespace graphics_test {

struct Decoded {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

namespace oracle_detail {

struct Job {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errors;
  jmp_buf jump;
  const std::vector<uint8_t>* jpeg = nullptr;
  J_DCT_METHOD method = JDCT_ISLOW;
  Decoded* out = nullptr;
  std::vector<uint8_t> row;
};

inline void OnError(j_common_ptr cinfo) {
  std::longjmp(static_cast<Job*>(cinfo->client_data)->jump, 1);
}
inline void OnMessage(j_common_ptr, int) {}

inline void Steps(Job* job) {
  jpeg_decompress_struct& c = job->cinfo;
  jpeg_mem_src(&c, job->jpeg->data(), static_cast<unsigned long>(job->jpeg->size()));
  jpeg_read_header(&c, TRUE);
  c.out_color_space = JCS_RGB;
  c.dct_method = job->method;
  c.do_fancy_upsampling = FALSE;
  c.do_block_smoothing = FALSE;
  jpeg_start_decompress(&c);
  job->out->width = static_cast<int>(c.output_width);
  job->out->height = static_cast<int>(c.output_height);
  job->out->pixels.clear();
  job->row.resize(static_cast<size_t>(c.output_width) * 3);
  while (c.output_scanline < c.output_height) {
    JSAMPROW row = job->row.data();
    jpeg_read_scanlines(&c, &row, 1);
    for (size_t x = 0; x < c.output_width; ++x)
      job->out->pixels.push_back(uint32_t{job->row[3 * x]} << 16 |
                                 uint32_t{job->row[3 * x + 1]} << 8 | job->row[3 * x + 2]);
  }
  jpeg_finish_decompress(&c);
}

inline bool Run(Job* job) {
  if (setjmp(job->jump)) return false;
  Steps(job);
  return true;
}

}  // namespace oracle_detail

inline bool LibjpegDecode(const std::vector<uint8_t>& jpeg, J_DCT_METHOD method, Decoded* out) {
  auto job = std::make_unique<oracle_detail::Job>();
  job->jpeg = &jpeg;
  job->method = method;
  job->out = out;
  job->cinfo.err = jpeg_std_error(&job->errors);
  job->errors.error_exit = oracle_detail::OnError;
  job->errors.emit_message = oracle_detail::OnMessage;
  job->cinfo.client_data = job.get();
  jpeg_create_decompress(&job->cinfo);
  const bool ok = oracle_detail::Run(job.get());
  jpeg_destroy_decompress(&job->cinfo);
  return ok;
}

// The quantised coefficients of every block as libjpeg's own entropy
// decoder reads them, with the quantisation tables: per component, blocks
// left to right and top to bottom, 64 coefficients each in natural order.
struct Coefficients {
  int width = 0;
  int height = 0;
  int h = 1, v = 1;  // luminance sampling
  struct Plane {
    int wide = 0, high = 0;  // blocks
    std::vector<int32_t> coef;
    uint16_t quant[64] = {};
  } planes[3];
};

namespace oracle_detail {

struct CoefficientJob {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errors;
  jmp_buf jump;
};

inline void CoefficientSteps(jpeg_decompress_struct& c, const std::vector<uint8_t>& jpeg,
                             Coefficients* out) {
  jpeg_mem_src(&c, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&c, TRUE);
  jvirt_barray_ptr* arrays = jpeg_read_coefficients(&c);
  out->width = static_cast<int>(c.image_width);
  out->height = static_cast<int>(c.image_height);
  out->h = c.comp_info[0].h_samp_factor;
  out->v = c.comp_info[0].v_samp_factor;
  for (int i = 0; i < 3 && i < c.num_components; ++i) {
    jpeg_component_info& info = c.comp_info[i];
    Coefficients::Plane& plane = out->planes[i];
    plane.wide = static_cast<int>(info.width_in_blocks);
    plane.high = static_cast<int>(info.height_in_blocks);
    for (int n = 0; n < 64; ++n) plane.quant[n] = info.quant_table->quantval[n];
    plane.coef.clear();
    for (int by = 0; by < plane.high; ++by) {
      JBLOCKARRAY row = c.mem->access_virt_barray(reinterpret_cast<j_common_ptr>(&c), arrays[i],
                                                  static_cast<JDIMENSION>(by), 1, FALSE);
      for (int bx = 0; bx < plane.wide; ++bx)
        for (int n = 0; n < 64; ++n) plane.coef.push_back(row[0][bx][n]);
    }
  }
  jpeg_finish_decompress(&c);
}

inline bool RunCoefficients(CoefficientJob* job, const std::vector<uint8_t>& jpeg,
                            Coefficients* out) {
  if (setjmp(job->jump)) return false;
  CoefficientSteps(job->cinfo, jpeg, out);
  return true;
}

inline void OnCoefficientError(j_common_ptr cinfo) {
  std::longjmp(static_cast<CoefficientJob*>(cinfo->client_data)->jump, 1);
}

}  // namespace oracle_detail

inline bool LibjpegCoefficients(const std::vector<uint8_t>& jpeg, Coefficients* out) {
  auto job = std::make_unique<oracle_detail::CoefficientJob>();
  job->cinfo.err = jpeg_std_error(&job->errors);
  job->errors.error_exit = oracle_detail::OnCoefficientError;
  job->errors.emit_message = oracle_detail::OnMessage;
  job->cinfo.client_data = job.get();
  jpeg_create_decompress(&job->cinfo);
  const bool ok = oracle_detail::RunCoefficients(job.get(), jpeg, out);
  jpeg_destroy_decompress(&job->cinfo);
  return ok;
}

// Largest difference of one channel between two pictures of one size.
inline int MaxChannelDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size()) return 256;
  int worst = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8) {
      const int d =
          static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF);
      worst = std::max(worst, d < 0 ? -d : d);
    }
  return worst;
}

}  // namespace graphics_test
