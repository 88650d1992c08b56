#include "tools/reference_signal_widen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tools/bin_export_fixture.h"

namespace toolstest {
namespace {

namespace fs = std::filesystem;

TEST(WidenFrames, ChannelOneRepeatsAsTheThirdAndAPartialFrameIsDropped) {
  struct Case {
    const char* name;
    std::vector<uint8_t> in;
    std::vector<uint8_t> out;
  };
  const Case kCases[] = {
      {"empty", {}, {}},
      {"partial frame only", {1, 2, 3}, {}},
      {"two frames and two bytes",
       {0x01, 0x02, 0x03, 0x04, 0xF1, 0xF2, 0xF3, 0xF4, 0xAA, 0xBB},
       {0x01, 0x02, 0x03, 0x04, 0x01, 0x02, 0xF1, 0xF2, 0xF3, 0xF4, 0xF1, 0xF2}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(tools::WidenFrames(c.in), c.out);
  }
}

class ReferenceSignalWiden : public ToolDocTest {};

TEST_F(ReferenceSignalWiden, WritesTheWideFileInTheDataDirectory) {
  // More than one read's worth, with a partial frame at the end.
  std::vector<uint8_t> in(4 * 40000 + 3);
  for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<uint8_t>(i * 7);
  testsupport::WriteBytes(data_ / "Aha1201.552", in);
  tools::ConvertAhaSignalFile(*doc_);
  EXPECT_EQ(MessagesAsked(), std::vector<std::string>{"Done"});
  const std::vector<uint8_t> out = ReadBytes(data_ / "Aha1201x.553");
  ASSERT_EQ(out.size(), 6u * 40000u);
  EXPECT_EQ(out, tools::WidenFrames(std::vector<uint8_t>(in.begin(), in.end() - 3)));
}

TEST_F(ReferenceSignalWiden, TenBytesGiveTwelve) {
  testsupport::WriteBytes(data_ / "Aha1201.552", std::vector<uint8_t>(10, 5));
  tools::ConvertAhaSignalFile(*doc_);
  EXPECT_EQ(fs::file_size(data_ / "Aha1201x.553"), 12u);
}

TEST_F(ReferenceSignalWiden, WithoutItsInputItSaysSoAndWritesNothing) {
  struct Case {
    const char* name;
    bool earlier_output;
  };
  for (const Case& c : {Case{"no output yet", false}, Case{"an earlier output", true}}) {
    SCOPED_TRACE(c.name);
    fs::remove(data_ / "Aha1201x.553");
    if (c.earlier_output) testsupport::WriteText(data_ / "Aha1201x.553", "earlier");
    prompt_.ClearLog();
    tools::ConvertAhaSignalFile(*doc_);
    const std::vector<std::string> asked = MessagesAsked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find((data_ / "Aha1201.552").string()), std::string::npos) << asked[0];
    if (c.earlier_output) {
      EXPECT_EQ(ReadText(data_ / "Aha1201x.553"), "earlier");
    } else {
      EXPECT_FALSE(fs::exists(data_ / "Aha1201x.553"));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(data_), fs::directory_iterator()),
              c.earlier_output ? 1 : 0);
  }
}

}  // namespace
}  // namespace toolstest
