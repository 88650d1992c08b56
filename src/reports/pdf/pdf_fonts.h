#pragma once

#include <string>
#include <string_view>

// Fonts of the PDF writer. 41 fonts are built in by name (the standard faces with the metrics of
// gfx/standard_fonts.h, the condensed Helvetica faces, "TVK-Monospace" and "TVK-SmallCap"); any
// other name is loaded as an external Type 1 font from a PFM and a PFB file and embedded. Each
// pair of font and encoding becomes one resource "Ftvk<n>" shared by all pages. Widths follow
// the encoding: with "WinAnsiEncoding" a cp1252 text measures what it shows, umlauts included.

constexpr int tvk_kFontCount = 41;

// Selects the font for the following text and writes "/Ftvk<n> size Tf". Encoding empty: none
// (the font's own). An unknown name that cannot be loaded is replaced by Times-Roman (reported).
// 0, or 1 when the font cap is reached (nothing written, font unchanged).
int tvk_setFont(std::string_view name, std::string_view encoding, double size);
void tvk_setFontMap(std::string_view path);
void tvk_setFontDirectories(std::string_view pfm_dir, std::string_view pfb_dir);
// Looks a font up in the font map: 0 found, -1 not listed, 1 map file missing, 2 syntax error.
int tvk_readFontMap(std::string_view name, std::string* pfm_path, std::string* pfb_path);
// 0 the pair exists (index set), 1 only with another encoding (same_name_index set), 2 neither.
int tvk_findFont(std::string_view name, std::string_view encoding, int* index, int* same_name_index);
// The built-in name of index 0..40, or null.
const char* tvk_builtinFontName(int index);

// Used by the text operators: UTF-8 text as the bytes the current font shows, and a Tf for the
// current font on the current page when its content has not selected it yet.
std::string tvk_fontBytes(std::string_view utf8);
void tvk_ensurePageFont();
