#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Raster images: inline images written into the page content (the report grids' dot masks) and
// image objects made from baseline JPEG files, stored once per document and drawn with Do.

constexpr int tvk_kImageJpeg = 0;
constexpr int tvk_kImageTiff = 3;
constexpr int tvk_kImagePdf = 5;

// Colour modes of inline images (low two bits).
constexpr int tvk_kImageMask = 0;  // 1-bit mask painted in the fill colour where a bit is 0
constexpr int tvk_kImageGray = 1;
constexpr int tvk_kImageRgb = 2;
constexpr int tvk_kImageCmyk = 3;

struct tvk_JpegInfo {
  int marker = 0;  // frame marker, 192 baseline
  int width = 0;
  int height = 0;
  int components = 0;
  int bits = 0;
};

// Places an image file at (x, y) points, rotated by angle. Width, height and the scales are in
// and out: what is given (above 0.00001) decides the rest, else one point per pixel. The file is
// read now. 0 placed; 1 image cap reached; -1 file not read or kind not supported; -2 not a
// (readable) JPEG; -3 JPEG not baseline; -4 unknown kind. All reported; a refused image leaves no
// trace.
int tvk_placeImage(std::string_view path, int kind, double x, double y, double angle_degrees,
                   double* width, double* height, double* x_scale, double* y_scale, int save_state);
int tvk_plotPlaceImage(std::string_view path, int kind, double x, double y, double angle_degrees,
                       double* width, double* height, double* x_scale, double* y_scale,
                       int save_state);
// Writes samples (rows of whole bytes) as an inline image of width × height points at (x, y).
// 0; -1 when the samples are fewer than columns × rows need (reported, nothing drawn).
int tvk_inlineImage(std::span<const uint8_t> samples, double x, double y, double angle_degrees,
                    double width, double height, int columns, int rows, int bits_per_component,
                    int color_mode, int save_state);
int tvk_plotInlineImage(std::span<const uint8_t> samples, double x, double y, double angle_degrees,
                        double width, double height, int columns, int rows, int bits_per_component,
                        int color_mode, int save_state);
// Returns the previous selection number; a number below 0 only reads it.
int tvk_selectImage(int number);
// Index of the image with this path and selection number, or the image count.
int tvk_findImage(std::string_view path, int selection);
// Scans a JPEG's markers up to the start of scan: the marker it stopped at (218 start of scan,
// 217 end of image), -2 not a JPEG or cut short (reported under name).
int read_JPEG_header(std::span<const uint8_t> bytes, std::string_view name, tvk_JpegInfo* info);
