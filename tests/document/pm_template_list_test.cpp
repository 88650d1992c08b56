#include "document/pm_template_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "archive_bytes.h"
#include "member_io.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "record_generator.h"

namespace {

std::vector<int32_t> Positions(const TPMTemplateList& list) {
  std::vector<int32_t> positions;
  for (const TPMTemplate& entry : list.Elements()) positions.push_back(entry.GetPosition());
  return positions;
}

TEST(TPMTemplateList, ThreeSpikesStoreAndReadBackInOrder) {
  EXPECT_EQ(StoreMember(TPMTemplateList(), 32), ArchiveBytes().I32(32).I32(0).Bytes());
  EXPECT_EQ(StoreMember(TPMTemplateList(), 25), ArchiveBytes().I32(25).I32(0).Bytes());
  TPMTemplateList list;
  for (const int32_t position : {1200, 9000, 15000}) list.Append(TPMTemplate(position));
  const std::vector<uint8_t> bytes = StoreMember(list, 32);
  EXPECT_EQ(bytes, ArchiveBytes().I32(32).I32s({3, 1200, 9000, 15000}).Bytes());
  TPMTemplateList loaded;
  loaded.Append(TPMTemplate(5));
  platform::ArchiveReader r(bytes, "test");
  loaded.Load(r);
  EXPECT_EQ(Positions(loaded), (std::vector<int32_t>{1200, 9000, 15000}));
  loaded.RemoveAt(1, 1);
  EXPECT_EQ(Positions(loaded), (std::vector<int32_t>{1200, 15000}));
}

TEST(TPMTemplateList, RandomListsRoundTripAtVersion32) {
  RecordGenerator gen(12);
  for (int iteration = 0; iteration < 200; ++iteration) {
    SCOPED_TRACE(iteration);
    const TPMTemplateList list = gen.Spikes(40);
    TPMTemplateList loaded = gen.Spikes(3);
    ASSERT_NO_FATAL_FAILURE(ExpectRoundTrip(list, loaded));
  }
}

// Damaged lists raise FormatError and stay as they were; a list of unknown version is read past and
// stays as it was, a negative count holds no entries.
TEST(TPMTemplateList, BadInputRaisesFormatErrorAndKeepsTheList) {
  struct Case {
    std::vector<uint8_t> bytes;
    bool reads_on;
    std::vector<int32_t> want;
  };
  const Case cases[] = {
      {ArchiveBytes().I32(34).I32(0).Bytes(), true, {77}},
      {ArchiveBytes().I32(34).I32(1).I32(5).Bytes(), true, {77}},
      {ArchiveBytes().I32(23).I32(-2).Bytes(), true, {}},
      {ArchiveBytes().I32(23).I32(2).I32(1).Bytes(), false, {77}},
      {ArchiveBytes().I32(23).U8(1).Bytes(), false, {77}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    TPMTemplateList list;
    list.Append(TPMTemplate(77));
    platform::ArchiveReader r(c.bytes, "test");
    if (c.reads_on) {
      ASSERT_NO_THROW(list.Load(r));
      EXPECT_TRUE(r.AtEnd());
    } else {
      EXPECT_THROW(list.Load(r), platform::FormatError);
    }
    EXPECT_EQ(Positions(list), c.want);
  }
}

}  // namespace
