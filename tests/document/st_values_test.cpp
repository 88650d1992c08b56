#include "document/st_values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive_bytes.h"
#include "member_io.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "record_generator.h"

namespace {

TEST(TSTValues, LayoutIsVersionCountAndDoubles) {
  EXPECT_EQ(StoreMember(TSTValues(), 32), ArchiveBytes().I32(32).I32(0).Bytes());
  EXPECT_EQ(StoreMember(TSTValues(), 25), ArchiveBytes().I32(25).I32(0).Bytes());
  TSTValues list;
  list.Add(-1.5);
  list.Add(0.25);
  EXPECT_EQ(StoreMember(list, 25), ArchiveBytes().I32(25).I32(2).Double(-1.5).Double(0.25).Bytes());
}

TEST(TSTValues, Version10HoldsNothingAfterTheVersion) {
  const std::vector<uint8_t> bytes = ArchiveBytes().I32(10).I32(99).Bytes();
  TSTValues list;
  list.Add(3.0);
  platform::ArchiveReader r(bytes, "test");
  list.Load(r);
  EXPECT_EQ(list.GetSize(), 0);
  EXPECT_EQ(r.Remaining(), 4u);
}

TEST(TSTValues, RandomListsRoundTripAtVersion32) {
  RecordGenerator gen(10);
  for (int iteration = 0; iteration < 200; ++iteration) {
    SCOPED_TRACE(iteration);
    const TSTValues list = gen.Values(50);
    TSTValues loaded = gen.Values(3);
    ASSERT_NO_FATAL_FAILURE(ExpectRoundTrip(list, loaded));
  }
}

TEST(TSTValues, AppendShiftedCopiesValuesUnchanged) {
  TSTValues a;
  a.Add(1.0);
  TSTValues b;
  b.Add(2.0);
  b.Add(3.0);
  a.AppendShifted(b, 1000);
  a.AppendShifted(a, 1000);
  ASSERT_EQ(a.GetSize(), 6);
  EXPECT_EQ(a.GetAt(2).GetValue(), 3.0);
  EXPECT_EQ(a.GetAt(5).GetValue(), 3.0);
}

// Damaged lists raise FormatError and stay as they were; a list of unknown version is read past and
// stays as it was, a negative count holds no values.
TEST(TSTValues, BadInputRaisesFormatErrorAndKeepsTheList) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* fault;  // nullptr: reads to the end
    std::vector<double> want = {7.0};
  };
  const Case cases[] = {
      {"version 33", ArchiveBytes().I32(33).I32(1).Double(4.0).Bytes(), nullptr},
      {"negative count", ArchiveBytes().I32(32).I32(-4).Bytes(), nullptr, {}},
      {"count beyond the stream", ArchiveBytes().I32(32).I32(2).Double(1).Bytes(), "exceeds"},
      {"huge count", ArchiveBytes().I32(32).I32(0x10000000).Bytes(), "exceeds"},
      {"version 33 without its count", ArchiveBytes().I32(33).Bytes(), "needs 4 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TSTValues list;
    list.Add(7.0);
    platform::ArchiveReader r(c.bytes, "test");
    if (c.fault == nullptr) {
      ASSERT_NO_THROW(list.Load(r));
      EXPECT_TRUE(r.AtEnd());
    } else {
      EXPECT_THROW(
          try { list.Load(r); } catch (const platform::FormatError& e) {
            EXPECT_NE(std::string(e.what()).find(c.fault), std::string::npos) << e.what();
            throw;
          },
          platform::FormatError);
    }
    std::vector<double> values;
    for (int i = 0; i < list.GetSize(); ++i) values.push_back(list.GetAt(i).GetValue());
    EXPECT_EQ(values, c.want);
  }
}

}  // namespace
