#include "tools/reference_signal_widen.h"

#include <cstdio>
#include <optional>

#include "document/zk470_doc.h"
#include "platform/atomic_file_writer.h"
#include "platform/io_error.h"
#include "win/prompt.h"
#include "win/window.h"

namespace tools {
namespace {

constexpr size_t kInFrame = 4;
constexpr size_t kOutFrame = 6;
// Whole frames per read; a reference record is tens of megabytes.
constexpr size_t kChunkBytes = kInFrame * 16 * 1024;

void Say(const std::string& text, unsigned icon) {
  (void)win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(), win::kMbOk | icon);
}

}  // namespace

std::vector<uint8_t> WidenFrames(std::span<const uint8_t> two_channel) {
  const size_t frames = two_channel.size() / kInFrame;
  std::vector<uint8_t> out(frames * kOutFrame);
  for (size_t f = 0; f < frames; ++f) {
    const uint8_t* in = two_channel.data() + f * kInFrame;
    uint8_t* o = out.data() + f * kOutFrame;
    o[0] = in[0];
    o[1] = in[1];
    o[2] = in[2];
    o[3] = in[3];
    o[4] = in[0];
    o[5] = in[1];
  }
  return out;
}

void ConvertAhaSignalFile(CZK470Doc& doc) {
  const std::string input = CZK470Doc::JoinPath(doc.GetDataDirectory(), kNarrowSignalFile);
  const std::string output = CZK470Doc::JoinPath(doc.GetDataDirectory(), kWideSignalFile);
  std::FILE* in = std::fopen(input.c_str(), "rb");
  if (in == nullptr) {
    Say("Error opening file - " + input, win::kMbIconExclamation);
    return;
  }
  try {
    platform::AtomicFileWriter out(output);
    std::vector<uint8_t> chunk(kChunkBytes);
    for (;;) {
      const size_t got = std::fread(chunk.data(), 1, chunk.size(), in);
      if (std::ferror(in) != 0) throw platform::IoError(input, "read failed");
      out.Write(WidenFrames(std::span<const uint8_t>(chunk.data(), got)));
      // A short read is the end of the file; its partial frame, if any, is dropped.
      if (got < chunk.size()) break;
    }
    std::fclose(in);
    in = nullptr;
    out.Commit();
  } catch (const platform::IoError& error) {
    if (in != nullptr) std::fclose(in);
    Say(std::string("Error writing file - ") + output + "\n\n" + error.what(), win::kMbIconExclamation);
    return;
  }
  Say("Done", 0);
}

}  // namespace tools
