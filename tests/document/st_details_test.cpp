#include "document/st_details.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive_bytes.h"
#include "member_io.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "record_generator.h"

namespace {

TSTDetail Episode(int32_t onset, int32_t extreme, int32_t end) {
  TSTDetail detail;
  detail.points[TSTDetail::kOnset] = {onset, 70, -1.0, 0.5};
  detail.points[TSTDetail::kExtreme] = {extreme, 80, -2.5, -0.25};
  detail.points[TSTDetail::kEnd] = {end, 75, -0.5, 1.0};
  return detail;
}

TEST(TSTDetails, LayoutHas72BytesPerEpisode) {
  EXPECT_EQ(StoreMember(TSTDetails(), 32), ArchiveBytes().I32(32).I32(0).Bytes());
  EXPECT_EQ(StoreMember(TSTDetails(), 25), ArchiveBytes().I32(25).I32(0).Bytes());
  TSTDetails list;
  list.Add(Episode(100, 200, 300));
  ArchiveBytes want;
  want.I32(32).I32(1);
  want.I32s({100, 70}).Double(-1.0).Double(0.5);
  want.I32s({200, 80}).Double(-2.5).Double(-0.25);
  want.I32s({300, 75}).Double(-0.5).Double(1.0);
  EXPECT_EQ(StoreMember(list, 32), want.Bytes());
}

TEST(TSTDetails, VersionsBelow10HoldNoSlopes) {
  ArchiveBytes b;
  b.I32(9).I32(1);
  b.I32s({100, 70}).Double(-1.0);
  b.I32s({200, 80}).Double(-2.5);
  b.I32s({300, 75}).Double(-0.5);
  TSTDetails list;
  platform::ArchiveReader r(b.Bytes(), "test");
  list.Load(r);
  EXPECT_TRUE(r.AtEnd());
  ASSERT_EQ(list.GetSize(), 1);
  for (const TSTPoint& point : list.GetAt(0).points) EXPECT_EQ(point.slope, 0.0);
  EXPECT_EQ(list.GetAt(0).points[TSTDetail::kExtreme].level, -2.5);
  EXPECT_EQ(StoreMember(list, 32).size(), 8u + 72);
}

TEST(TSTDetails, RandomListsRoundTripAtVersion32) {
  RecordGenerator gen(11);
  for (int iteration = 0; iteration < 200; ++iteration) {
    SCOPED_TRACE(iteration);
    const TSTDetails list = gen.Details(10);
    TSTDetails loaded = gen.Details(2);
    ASSERT_NO_FATAL_FAILURE(ExpectRoundTrip(list, loaded));
  }
}

TEST(TSTDetails, AppendShiftedMovesTheThreePositions) {
  TSTDetails other;
  other.Add(Episode(100, 200, 300));
  TSTDetails list;
  list.AppendShifted(other, 1000);
  EXPECT_EQ(list.GetAt(0), Episode(1100, 1200, 1300));
}

// Damaged lists raise FormatError and stay as they were; a list of unknown version is read past
// (its episodes as every writer stores them, 72 bytes) and stays as it was, a negative count holds
// no episodes.
TEST(TSTDetails, BadInputRaisesFormatErrorAndKeepsTheList) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    bool reads_on = false;
    int want_size = 1;  // the list keeps Episode(1, 2, 3) when 1
  };
  const Case cases[] = {
      {"version 1", ArchiveBytes().I32(1).I32(0).Bytes(), true},
      {"version 1 with an episode", ArchiveBytes().I32(1).I32(1).I32Repeat(0, 18).Bytes(), true},
      {"negative count", ArchiveBytes().I32(32).I32(-1).Bytes(), true, 0},
      {"72-byte episode cut", ArchiveBytes().I32(32).I32(1).I32Repeat(0, 17).Bytes()},
      {"48-byte old episode cut", ArchiveBytes().I32(9).I32(1).I32Repeat(0, 11).Bytes()},
      {"huge count", ArchiveBytes().I32(32).I32(0x7FFFFFFF).I32Repeat(0, 18).Bytes()},
      {"unknown version, episode cut", ArchiveBytes().I32(99).I32(1).I32Repeat(0, 12).Bytes()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TSTDetails list;
    list.Add(Episode(1, 2, 3));
    platform::ArchiveReader r(c.bytes, "test");
    if (c.reads_on) {
      ASSERT_NO_THROW(list.Load(r));
      EXPECT_TRUE(r.AtEnd());
    } else {
      EXPECT_THROW(list.Load(r), platform::FormatError);
    }
    ASSERT_EQ(list.GetSize(), c.want_size);
    if (c.want_size == 1) EXPECT_EQ(list.GetAt(0), Episode(1, 2, 3));
  }
}

}  // namespace
