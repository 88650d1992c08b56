#include "tools/tape_conversion.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/file_system.h"
#include "platform/process.h"

namespace tape {
namespace {

constexpr size_t kInFrameBytes = 3;
constexpr size_t kOutFrameBytes = 2;
constexpr int kFramesPerGroup = 128;
constexpr int kGroupsPerBlock = 60;
constexpr int kPartFrames = 42;
constexpr int kFirstTolerance = 4;
// The flat test looks at the first half minute of a minute.
constexpr size_t kFlatTestFrames = 3750;
constexpr int kFlatDeviation = 25;
constexpr int kFlatMaxOutliers = 5;
constexpr size_t kHalvingChunk = 30000;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File Open(const std::string& path, const char* mode) { return File(std::fopen(path.c_str(), mode)); }

bool Close(File& file) {
  const bool ok = std::fclose(file.release()) == 0;
  return ok;
}

void Remove(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

bool Near(int a, int b, int tolerance) { return std::abs(a - b) <= tolerance; }

// Frames f, f+1, f+2 of a block agree within the tolerance in both channels.
bool IsFlat(std::span<const uint8_t, kBlockBytes> block, size_t frame, int tolerance) {
  for (size_t channel = 0; channel < 2; ++channel) {
    const int a = block[frame * kInFrameBytes + channel];
    const int b = block[(frame + 1) * kInFrameBytes + channel];
    const int c = block[(frame + 2) * kInFrameBytes + channel];
    if (!Near(a, b, tolerance) || !Near(a, c, tolerance) || !Near(b, c, tolerance)) return false;
  }
  return true;
}

}  // namespace

void ConvertBlock(std::span<const uint8_t, kBlockBytes> block, std::span<uint8_t, kMinuteBytes> minute) {
  size_t out = 0;
  for (int group = 0; group < kGroupsPerBlock; ++group) {
    const size_t base = static_cast<size_t>(group) * kFramesPerGroup;
    std::array<size_t, 3> dropped{};
    for (int part = 0; part < 3; ++part) {
      const size_t start = base + static_cast<size_t>(part) * kPartFrames;
      // Three equal bytes always pass at the largest tolerance, so the search ends.
      for (int tolerance = kFirstTolerance;; ++tolerance) {
        size_t found = 0;
        for (size_t i = start; i < start + kPartFrames; ++i) {
          if (IsFlat(block, i, tolerance)) {
            found = i + 1;
            break;
          }
        }
        if (found != 0) {
          dropped[static_cast<size_t>(part)] = found;
          break;
        }
      }
    }
    for (size_t frame = base; frame < base + kFramesPerGroup; ++frame) {
      if (frame == dropped[0] || frame == dropped[1] || frame == dropped[2]) continue;
      minute[out++] = block[frame * kInFrameBytes];
      minute[out++] = block[frame * kInFrameBytes + 1];
    }
  }
}

bool ConvertRawFile(const std::string& dat_path, const std::string& tmp_path, int cal_blocks) {
  File dat = Open(dat_path, "rb");
  if (!dat) return false;
  File tmp = Open(tmp_path, "wb");
  bool ok = static_cast<bool>(tmp);
  if (ok) {
    std::vector<uint8_t> block(kBlockBytes);
    std::vector<uint8_t> minute(kMinuteBytes);
    for (int j = 1;; ++j) {
      const size_t got = std::fread(block.data(), 1, kBlockBytes, dat.get());
      if (j <= cal_blocks) {
        if (got == 0) break;
        continue;
      }
      if (got < kBlockBytes) break;
      ConvertBlock(std::span<const uint8_t, kBlockBytes>(block.data(), kBlockBytes),
                   std::span<uint8_t, kMinuteBytes>(minute.data(), kMinuteBytes));
      if (std::fwrite(minute.data(), 1, kMinuteBytes, tmp.get()) != kMinuteBytes) {
        ok = false;
        break;
      }
    }
    if (!Close(tmp)) ok = false;
  }
  dat.reset();
  Remove(dat_path);
  return ok;
}

bool HalveTapeRate(const std::string& tmp_path, const std::string& cvt_path) {
  {
    File tmp = Open(tmp_path, "rb");
    if (!tmp) return false;
    File cvt = Open(cvt_path, "wb");
    if (!cvt) return false;
    std::vector<uint8_t> in(kHalvingChunk);
    std::vector<uint8_t> out(kHalvingChunk / 2);
    for (;;) {
      const size_t got = std::fread(in.data(), 1, kHalvingChunk, tmp.get());
      if (got < 2 * kOutFrameBytes) break;
      size_t kept = 0;
      for (size_t pair = 0; pair + 2 * kOutFrameBytes <= got; pair += 2 * kOutFrameBytes) {
        out[kept++] = in[pair];
        out[kept++] = in[pair + 1];
      }
      if (std::fwrite(out.data(), 1, kept, cvt.get()) != kept) {
        cvt.reset();
        Remove(cvt_path);
        return false;
      }
    }
    if (!Close(cvt)) {
      Remove(cvt_path);
      return false;
    }
  }
  if (platform::MoveFile(cvt_path, tmp_path, true)) return true;
  Remove(tmp_path);
  return static_cast<bool>(platform::MoveFile(cvt_path, tmp_path, false));
}

size_t CountFlatTailMinutes(const std::string& tmp_path) {
  File tmp = Open(tmp_path, "rb");
  if (!tmp) return 0;
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(tmp_path, ec);
  if (ec) return 0;
  const size_t minutes = static_cast<size_t>(size / kMinuteBytes);
  std::vector<uint8_t> half(kFlatTestFrames * kOutFrameBytes);
  size_t flat = 0;
  for (size_t m = minutes; m-- > 0;) {
    if (std::fseek(tmp.get(), static_cast<long>(m * kMinuteBytes), SEEK_SET) != 0) break;
    if (std::fread(half.data(), 1, half.size(), tmp.get()) != half.size()) break;
    std::array<int, 2> outliers{};
    for (size_t frame = 0; frame < kFlatTestFrames; ++frame) {
      for (size_t channel = 0; channel < 2; ++channel) {
        if (std::abs(int{half[frame * kOutFrameBytes + channel]} - 128) > kFlatDeviation) ++outliers[channel];
      }
    }
    if (outliers[0] > kFlatMaxOutliers || outliers[1] > kFlatMaxOutliers) break;
    ++flat;
  }
  return flat;
}

bool WriteTapeFile(const std::string& tmp_path, const std::string& tap_path) {
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(tmp_path, ec);
  const size_t minutes = ec ? 0 : static_cast<size_t>(size / kMinuteBytes);
  const size_t keep = minutes - CountFlatTailMinutes(tmp_path);
  File tmp = Open(tmp_path, "rb");
  if (!tmp) return false;
  File tap = Open(tap_path, "wb");
  if (!tap) return false;
  std::vector<uint8_t> minute(kMinuteBytes);
  bool ok = true;
  for (size_t m = 0; m < keep; ++m) {
    if (std::fread(minute.data(), 1, kMinuteBytes, tmp.get()) != kMinuteBytes) break;
    if (std::fwrite(minute.data(), 1, kMinuteBytes, tap.get()) != kMinuteBytes) {
      ok = false;
      break;
    }
  }
  if (!Close(tap)) ok = false;
  tmp.reset();
  Remove(tmp_path);
  return ok;
}

std::string ProgramPath(const CZK470Doc& doc) {
  return CZK470Doc::JoinPath(CZK470Doc::JoinPath(doc.GetMainDirectory(), "Braemar"), "Holtape.exe");
}

std::string RawFilePath(const CZK470Doc& doc) {
  return CZK470Doc::JoinPath(CZK470Doc::JoinPath(doc.GetMainDirectory(), "Braemar"), "HOLTER.DAT");
}

std::string TapeFilePath(const CZK470Doc& doc) {
  return CZK470Doc::JoinPath(doc.GetDataDirectory(), "HOLTER.TAP");
}

}  // namespace tape

int ReadBraemarTape(const CZK470Doc& doc, TTapeProcess& process) {
  const std::string program = tape::ProgramPath(doc);
  const std::string dat = tape::RawFilePath(doc);
  platform::ProcessOptions options;
  options.timeout_ms = tape::kProgramWaitMs;
  options.stop_requested = [&process] { return process.stop.load(); };
  const platform::ProcessResult run = platform::RunProcess({program, dat, "0", "0", "0", "3"}, options);
  process.ended = true;
  if (!run.started || run.stopped || process.stop) return tape::kNotStarted;
  if (run.timed_out) return tape::kStillActive;
  if (run.signal != 0) return tape::kNotStarted;
  if (run.exit_code != 0) return run.exit_code;

  const std::string data = doc.GetDataDirectory();
  const std::string tmp = CZK470Doc::JoinPath(data, "HOLTER.TMP");
  const std::string tap = tape::TapeFilePath(doc);
  // A tape file of an earlier run must not pass for this tape's data.
  std::error_code ec;
  std::filesystem::remove(tap, ec);
  if (!tape::ConvertRawFile(dat, tmp, doc.GetSettings().Int(SettingKey::kTapeCalDataLen))) {
    std::filesystem::remove(tmp, ec);
    return 0;
  }
  // A tape file cut short by a failed write must not become a recording.
  const bool halved = doc.GetSettings().Int(SettingKey::kTapeSpeed) == 0 ||
                      tape::HalveTapeRate(tmp, CZK470Doc::JoinPath(data, "HOLTER.CVT"));
  if (!halved || !tape::WriteTapeFile(tmp, tap)) {
    std::filesystem::remove(tmp, ec);
    std::filesystem::remove(tap, ec);
    return tape::kFileWriteError;
  }
  return 0;
}
