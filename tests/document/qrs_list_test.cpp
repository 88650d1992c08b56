#include "document/qrs_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "archive_bytes.h"
#include "context_guard.h"
#include "member_io.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "record_generator.h"

namespace {

// Beat record as the file holds it.
void Beat(ArchiveBytes& b, uint32_t tag, int32_t position, uint8_t beat_class, uint8_t prior) {
  b.U32(tag).I32(position).U8(beat_class).U8(prior);
}

TQRSList Make(std::initializer_list<TQRSComplex> beats) {
  TQRSList list;
  for (const TQRSComplex& beat : beats) list.Append(beat);
  return list;
}

std::array<int32_t, kClassCount> Recount(const TQRSList& list) {
  std::array<int32_t, kClassCount> counters{};
  for (const TQRSComplex& beat : list.Elements()) ++counters[beat.GetClass()];
  return counters;
}

TEST(TQRSList, EmptyListBytesAtVersion32And25) {
  for (const int32_t version : {32, 25}) {
    SCOPED_TRACE(version);
    ArchiveBytes expected;
    expected.I32(version).U16(0).I32Repeat(0, 40);
    EXPECT_EQ(StoreMember(TQRSList(), version), expected.Bytes());
  }
}

TEST(TQRSList, WritesPackedRecordsWithAConstantTagAndAllCounters) {
  const TQRSList list = Make({{100, 1, '!'}, {250, 15, 1}, {400, 1, ' '}});
  ArchiveBytes expected;
  expected.I32(32).U16(3);
  Beat(expected, TQRSComplex::kRecordTag, 100, 1, '!');
  Beat(expected, TQRSComplex::kRecordTag, 250, 15, 1);
  Beat(expected, TQRSComplex::kRecordTag, 400, 1, ' ');
  for (int code = 0; code < 40; ++code) expected.I32(code == 1 ? 2 : code == 15 ? 1 : 0);
  EXPECT_EQ(StoreMember(list, 32), expected.Bytes());
}

TEST(TQRSList, CountOf65535OrMoreUsesTheEscape) {
  struct Case {
    int size;
    std::vector<uint8_t> count_bytes;
  };
  const Case cases[] = {{65534, {0xFE, 0xFF}}, {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    TQRSList list;
    for (int i = 0; i < c.size; ++i) list.Append(TQRSComplex(i, 1, '!'));
    const std::vector<uint8_t> bytes = StoreMember(list, 32);
    ASSERT_EQ(bytes.size(), 4 + c.count_bytes.size() + 10u * c.size + 160);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 4, bytes.begin() + 4 + c.count_bytes.size()), c.count_bytes);
    TQRSList loaded;
    platform::ArchiveReader r(bytes, "test");
    loaded.Load(r);
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(loaded.GetSize(), c.size);
    EXPECT_EQ(loaded.GetCounter(1), c.size);
  }
}

// Old versions: 22 counters in 2 and 3; prior classes of 4..27 become '!'; 28 on keep them.
TEST(TQRSList, LoadsOlderVersions) {
  struct Case {
    int32_t version;
    int stored_counters;
    uint8_t want_prior;
  };
  const Case cases[] = {{2, 22, 7}, {3, 22, 7}, {4, 40, '!'}, {20, 40, '!'}, {25, 40, '!'},
                        {27, 40, '!'}, {28, 40, 7}, {32, 40, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    ArchiveBytes b;
    b.I32(c.version).U16(2);
    Beat(b, 0xDEADBEEF, 125, 1, 7);
    Beat(b, 0x12345678, 300, 21, 7);
    b.I32Repeat(0, c.stored_counters);
    b.U8(0xAB);  // the next member
    TQRSList list;
    platform::ArchiveReader r(b.Bytes(), "test");
    list.Load(r);
    EXPECT_EQ(r.Remaining(), 1u);
    ASSERT_EQ(list.GetSize(), 2);
    EXPECT_EQ(list.GetAt(0), TQRSComplex(125, 1, c.want_prior));
    EXPECT_EQ(list.GetAt(1), TQRSComplex(300, 21, c.want_prior));
    // The stored counters (all 0) disagree with the beats: recounted.
    EXPECT_EQ(list.GetCounter(1), 1);
    EXPECT_EQ(list.GetCounter(21), 1);
  }
}

TEST(TQRSList, LoadIgnoresTheStoredTagAndWritesItsOwn) {
  ArchiveBytes b;
  b.I32(32).U16(1);
  Beat(b, 0xCAFEBABE, 42, 15, '!');
  b.I32Repeat(0, 15).I32(1).I32Repeat(0, 24);
  TQRSList list;
  platform::ArchiveReader r(b.Bytes(), "test");
  list.Load(r);
  const std::vector<uint8_t> again = StoreMember(list, 32);
  EXPECT_EQ(again[6], 0);
  EXPECT_EQ(std::vector<uint8_t>(again.begin() + 6, again.begin() + 10), std::vector<uint8_t>(4, 0));
  EXPECT_EQ(std::vector<uint8_t>(again.begin() + 10, again.end()),
            std::vector<uint8_t>(b.Bytes().begin() + 10, b.Bytes().end()));
}

TEST(TQRSList, StoredAt25ReadsBackByTheOldRule) {
  const TQRSList list = Make({{10, 1, 5}, {20, 5, ' '}});
  TQRSList loaded;
  const std::vector<uint8_t> bytes = StoreMember(list, 25);
  platform::ArchiveReader r(bytes, "test");
  loaded.Load(r);
  EXPECT_EQ(loaded, Make({{10, 1, '!'}, {20, 5, '!'}}));
}

TEST(TQRSList, StoredAt3ReadsBackWithItsTwentyTwoCounters) {
  const TQRSList list = Make({{10, 1, '!'}, {20, 5, '!'}});
  const std::vector<uint8_t> bytes = StoreMember(list, 3);
  EXPECT_EQ(bytes.size(), 4u + 2u + 2u * TQRSComplex::kRecordSize + 22u * 4u);
  TQRSList loaded;
  platform::ArchiveReader r(bytes, "test");
  loaded.Load(r);
  EXPECT_TRUE(r.AtEnd());
  EXPECT_EQ(loaded, list);
}

TEST(TQRSList, RandomListsRoundTripAtVersion32) {
  RecordGenerator gen(20261210);
  for (int iteration = 0; iteration < 300; ++iteration) {
    SCOPED_TRACE(iteration);
    const TQRSList list = gen.Beats(200);
    TQRSList loaded = gen.Beats(5);
    ASSERT_NO_FATAL_FAILURE(ExpectRoundTrip(list, loaded));
    ASSERT_EQ(loaded.Counters(), list.Counters());
  }
}

TEST(TQRSList, FindNearestPrefersTheEarlierBeatOnATie) {
  const TQRSList list = Make({{100, 1}, {200, 1}});
  struct Case {
    int32_t position;
    int want;
  };
  constexpr Case kCases[] = {{150, 0}, {151, 1}, {250, 1}, {50, 0}, {100, 0}, {200, 1}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.position);
    EXPECT_EQ(list.FindNearest(TQRSComplex(c.position, 1)), c.want);
  }
  EXPECT_EQ(Make({{100, 1}}).FindNearest(TQRSComplex(5000, 1)), 0);
  EXPECT_EQ(TQRSList().FindNearest(TQRSComplex(5000, 1)), 0);
  EXPECT_EQ(Make({{100, 1}, {200, 1}, {300, 1}, {400, 1}}).FindNearest(TQRSComplex(260, 1)), 2);
}

TEST(TQRSList, FindNextAfter) {
  const TQRSList list = Make({{100, 1}, {200, 1}, {300, 1}});
  struct Case {
    int32_t position;
    int start;
    int want;
  };
  constexpr Case kCases[] = {{200, 0, 2}, {199, 0, 1}, {50, 0, 0}, {50, 2, 2}, {300, 0, 3}, {0, 3, 3}, {0, 7, 7}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.position << " from " << c.start);
    EXPECT_EQ(list.FindNextAfter(TQRSComplex(c.position, 1), c.start), c.want);
    EXPECT_EQ(list.FindNextAfterPosition(c.position, c.start), c.want);
  }
}

TEST(TQRSList, EditModeMarksInsertedAndRelabelledBeats) {
  ContextGuard guard;
  TQRSList list = Make({{100, 1, '!'}, {300, 1, '!'}});
  document::Context().edit_mode = 1;
  list.SetClass(0, 15);
  EXPECT_EQ(list.GetAt(0).GetPriorClass(), 1);
  list.SetClass(0, 9);
  EXPECT_EQ(list.GetAt(0).GetPriorClass(), 1);
  list.SetClass(1, 1);  // the same class: no mark
  EXPECT_EQ(list.GetAt(1).GetPriorClass(), '!');
  TQRSComplex inserted(200, 1, '!');
  list.InsertAt(1, inserted);
  EXPECT_EQ(inserted.GetPriorClass(), ' ');
  EXPECT_EQ(list.GetAt(1).GetPriorClass(), ' ');

  document::Context().edit_mode = 2;  // only 1 counts
  list.InsertAt(0, TQRSComplex(50, 1, '!'));
  list.SetClass(3, 15);
  EXPECT_EQ(list.GetAt(0).GetPriorClass(), '!');
  EXPECT_EQ(list.GetAt(3).GetPriorClass(), '!');
  EXPECT_EQ(list.GetCounter(1), 2);
  EXPECT_EQ(list.GetCounter(9), 1);
  EXPECT_EQ(list.GetCounter(15), 1);
}

TEST(TQRSList, UndoAllAfterAMixedSequenceRestoresBeatsAndCounters) {
  ContextGuard guard;
  RecordGenerator gen(7);
  for (int iteration = 0; iteration < 50; ++iteration) {
    SCOPED_TRACE(iteration);
    TQRSList list = gen.Beats(30);
    const TQRSList before = list;
    const auto counters_before = list.Counters();
    list.EnableUndoLog(true);
    document::Context().edit_mode = gen.Int(0, 1);
    for (int step = 0; step < 40; ++step) {
      const int size = list.GetSize();
      switch (gen.Int(0, 5)) {
        case 0: list.Append(TQRSComplex(gen.AnyInt(), static_cast<uint8_t>(gen.Int(0, 39)))); break;
        case 1: list.InsertAt(gen.Int(0, size), TQRSComplex(gen.AnyInt(), static_cast<uint8_t>(gen.Int(0, 39)))); break;
        case 2:
          if (size > 0) list.SetClass(gen.Int(0, size - 1), gen.Int(0, 39));
          break;
        case 3:
          if (size > 0) list.RemoveAt(gen.Int(0, size - 1));
          break;
        case 4: list.AppendShifted(gen.Beats(3), gen.Int(0, 1000)); break;
        default:
          if (gen.Chance(20)) list.RemoveAll();
          break;
      }
      ASSERT_EQ(list.Counters(), Recount(list));
    }
    list.UndoAll();
    EXPECT_EQ(list, before);
    EXPECT_EQ(list.Counters(), counters_before);
    EXPECT_TRUE(list.UndoLog().empty());
    EXPECT_TRUE(list.IsUndoLogEnabled());
  }
}

TEST(TQRSList, UndoOfARelabelByHandAlsoRestoresThePriorClass) {
  ContextGuard guard;
  TQRSList list = Make({{100, 1, '!'}});
  list.EnableUndoLog(true);
  document::Context().edit_mode = 1;
  list.SetClass(0, 15);
  list.UndoAll();
  EXPECT_EQ(list.GetAt(0), TQRSComplex(100, 1, '!'));
}

TEST(TQRSList, AppendShiftedMarksBeatsAsNeverEdited) {
  TQRSList list = Make({{10, 1, '!'}});
  EXPECT_EQ(list.AppendShifted(Make({{5, 15, ' '}, {7, 9, 1}}), 1000), 2);
  EXPECT_EQ(list, Make({{10, 1, '!'}, {1005, 15, '!'}, {1007, 9, '!'}}));
  EXPECT_EQ(list.GetCounter(15), 1);
}

// Damaged members: each raises FormatError and leaves the list as it was. Where the bytes after stay
// in step the list reads on instead: a list of unknown version is read past whole (the list as it
// was), and a beat of a class above 39 is kept with the replacement code and counted.
TEST(TQRSList, BadInputRaisesFormatErrorAndKeepsTheList) {
  auto valid = [] {
    ArchiveBytes b;
    b.I32(32).U16(2);
    Beat(b, 0, 100, 1, '!');
    Beat(b, 0, 200, 15, '!');
    b.I32Repeat(0, 40);
    return b.Bytes();
  };
  auto with = [&](size_t offset, std::initializer_list<uint8_t> patch) {
    std::vector<uint8_t> bytes = valid();
    std::copy(patch.begin(), patch.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return bytes;
  };
  auto cut = [&](size_t size) {
    std::vector<uint8_t> bytes = valid();
    bytes.resize(size);
    return bytes;
  };
  // What a list that reads on holds afterwards: the classes of its beats (none given: as it was),
  // the bytes left after it and the count of replaced codes.
  struct ReadsOn {
    std::vector<int> classes;
    size_t left;
    int32_t replaced;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* fault;  // nullptr: reads on
    std::optional<ReadsOn> reads_on = std::nullopt;
  };
  // Versions below 4 stored 22 counters: the 18 further ones of this list are left over.
  const Case cases[] = {
      {"empty", {}, "needs 4 bytes"},
      {"version 1", with(0, {1}), nullptr, ReadsOn{{}, 18 * 4, 0}},
      {"version 33", with(0, {33}), nullptr, ReadsOn{{}, 0, 0}},
      {"negative version", with(0, {0xFF, 0xFF, 0xFF, 0xFF}), nullptr, ReadsOn{{}, 18 * 4, 0}},
      {"count beyond the stream", with(4, {3, 0}), "element count 3 exceeds"},
      {"escaped count 4294967295",
       [] {
         ArchiveBytes b;
         b.I32(32).U16(0xFFFF).U32(0xFFFFFFFF);
         return b.Bytes();
       }(),
       "exceeds"},
      {"cut in a beat", cut(4 + 2 + 15), "exceeds"},
      {"cut in the counters", cut(4 + 2 + 20 + 159), "exceeds"},
      {"class 40", with(4 + 2 + 10 + 8, {40}), nullptr, ReadsOn{{1, document::kReplacementCode}, 0, 1}},
      {"class 255", with(4 + 2 + 8, {255}), nullptr, ReadsOn{{document::kReplacementCode, 15}, 0, 1}},
      {"unknown version with class 255", with(0, {33, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255}), nullptr,
       ReadsOn{{}, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TQRSList list = Make({{7, 5, ' '}});
    list.EnableUndoLog(true);
    list.Append(TQRSComplex(9, 1));
    const TQRSList before = list;
    platform::ArchiveReader r(c.bytes, "00012.QRS");
    document::MemberReadNotes notes;
    if (c.reads_on) {
      ASSERT_NO_THROW(list.Load(r, &notes));
      EXPECT_EQ(r.Remaining(), c.reads_on->left);
      EXPECT_EQ(notes.replaced_beat_codes, c.reads_on->replaced);
      if (c.reads_on->classes.empty()) {
        EXPECT_EQ(list, before);
        EXPECT_EQ(list.UndoLog().size(), 1u);
      } else {
        std::vector<int> classes;
        for (const TQRSComplex& beat : list.Elements()) classes.push_back(beat.GetClass());
        EXPECT_EQ(classes, c.reads_on->classes);
        EXPECT_EQ(list.ElementAt(1)->GetPosition(), 200);
      }
      EXPECT_EQ(list.Counters(), Recount(list));
      continue;
    }
    try {
      list.Load(r, &notes);
      ADD_FAILURE() << "no error";
    } catch (const platform::FormatError& e) {
      EXPECT_NE(std::string(e.what()).find(c.fault), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("00012.QRS"), std::string::npos) << e.what();
    }
    EXPECT_EQ(list, before);
    EXPECT_EQ(list.Counters(), before.Counters());
    EXPECT_EQ(list.UndoLog().size(), 1u);
  }
}

}  // namespace
