#include "document/template_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive_bytes.h"
#include "member_io.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "record_generator.h"

namespace {

TTemplateList Make(std::initializer_list<int32_t> beats) {
  TTemplateList list;
  for (const int32_t beat : beats) list.Append(beat);
  return list;
}

std::vector<int32_t> Beats(const TTemplateList& list) {
  std::vector<int32_t> beats;
  for (const TTemplate& entry : list.Elements()) beats.push_back(entry.GetBeatIndex());
  return beats;
}

TEST(TTemplateList, LayoutIsVersionCountAndBeatIndices) {
  ArchiveBytes empty;
  empty.I32(25).I32(0);
  EXPECT_EQ(StoreMember(TTemplateList(), 25), empty.Bytes());
  ArchiveBytes three;
  three.I32(32).I32s({3, 7, 8, 9});
  EXPECT_EQ(StoreMember(Make({7, 8, 9}), 32), three.Bytes());
}

TEST(TTemplateList, MoreThan65535EntriesKeepAPlainCount) {
  TTemplateList list;
  for (int i = 0; i < 70000; ++i) list.Append(i);
  const std::vector<uint8_t> bytes = StoreMember(list, 32);
  ASSERT_EQ(bytes.size(), 8u + 4u * 70000);
  EXPECT_EQ(platform::LoadLE32(bytes.data() + 4), 70000u);
  TTemplateList loaded;
  platform::ArchiveReader r(bytes, "test");
  loaded.Load(r);
  EXPECT_EQ(loaded, list);
}

TEST(TTemplateList, LoadReplacesTheEntriesInStoredOrder) {
  ArchiveBytes b;
  b.I32(15).I32s({2, 40, 30});
  TTemplateList list = Make({1, 2, 3, 4});
  list.EnableUndoLog(true);
  list.Append(5);
  platform::ArchiveReader r(b.Bytes(), "test");
  list.Load(r);
  EXPECT_EQ(Beats(list), (std::vector<int32_t>{40, 30}));
  EXPECT_TRUE(list.UndoLog().empty());
}

TEST(TTemplateList, RandomListsRoundTripAtVersion32) {
  RecordGenerator gen(3);
  for (int iteration = 0; iteration < 300; ++iteration) {
    SCOPED_TRACE(iteration);
    const TTemplateList list = gen.Templates(100);
    TTemplateList loaded = gen.Templates(3);
    ASSERT_NO_FATAL_FAILURE(ExpectRoundTrip(list, loaded));
  }
}

TEST(TTemplateList, UndoAllRestoresEachKindOfChange) {
  struct Case {
    const char* name;
    std::vector<int32_t> start;
    void (*change)(TTemplateList&);
  };
  const Case cases[] = {
      {"copy of 3 over 2", {4, 5}, [](TTemplateList& l) { l.Copy(Make({7, 8, 9})); }},
      {"remove all", {7, 8, 9}, [](TTemplateList& l) { l.RemoveAll(); }},
      {"set", {7, 8, 9}, [](TTemplateList& l) { l.SetAt(1, 100); }},
      {"insert and remove", {7, 8, 9},
       [](TTemplateList& l) {
         l.InsertAt(1, TTemplate(50), 2);
         l.RemoveAt(0, 3);
       }},
      {"mixed", {1, 2, 3},
       [](TTemplateList& l) {
         l.Append(4);
         l.InsertAt(0, TTemplate(0));
         l.SetAt(2, 20);
         l.RemoveAt(1);
         l.Copy(Make({9, 9}));
         l.Append(10);
         l.RemoveAll();
         l.Append(11);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTemplateList list;
    for (const int32_t beat : c.start) list.Append(beat);
    list.EnableUndoLog(true);
    c.change(list);
    list.UndoAll();
    EXPECT_EQ(Beats(list), c.start);
    EXPECT_TRUE(list.UndoLog().empty());
  }
}

TEST(TTemplateList, CopyLogsRemovalsThenAppendsAtIndexZero) {
  TTemplateList list = Make({4, 5});
  list.EnableUndoLog(true);
  list.Copy(Make({7, 8, 9}));
  const std::vector<TTemplateUndoEntry> want = {
      {TTemplate(5), 1, document::kUndoRemoved},  {TTemplate(4), 0, document::kUndoRemoved},
      {TTemplate(9), 0, document::kUndoAppended}, {TTemplate(8), 0, document::kUndoAppended},
      {TTemplate(7), 0, document::kUndoAppended},
  };
  EXPECT_EQ(std::vector<TTemplateUndoEntry>(list.UndoLog().begin(), list.UndoLog().end()), want);
}

// Damaged lists raise FormatError and stay as they were. A list of unknown version is read past
// whole and stays as it was; a negative count holds no entries.
TEST(TTemplateList, BadInputRaisesFormatErrorAndKeepsTheList) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* fault;  // nullptr: reads to the end
    std::vector<int32_t> want = {3, 1};
  };
  const Case cases[] = {
      {"version 1", ArchiveBytes().I32(1).I32(0).Bytes(), nullptr},
      {"version 33", ArchiveBytes().I32(33).I32(0).Bytes(), nullptr},
      {"version 33 with entries", ArchiveBytes().I32(33).I32(2).I32s({7, 8}).Bytes(), nullptr},
      {"negative count", ArchiveBytes().I32(32).I32(-1).Bytes(), nullptr, {}},
      {"count beyond the stream", ArchiveBytes().I32(32).I32(3).I32s({1, 2}).Bytes(), "exceeds"},
      {"unknown version, count beyond the stream", ArchiveBytes().I32(40).I32(3).I32s({1, 2}).Bytes(),
       "exceeds"},
      {"huge count", ArchiveBytes().I32(32).I32(0x7FFFFFFF).Bytes(), "exceeds"},
      {"no count", ArchiveBytes().I32(32).U16(0).Bytes(), "needs 4 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTemplateList list = Make({3, 1});
    platform::ArchiveReader r(c.bytes, "test");
    if (c.fault == nullptr) {
      ASSERT_NO_THROW(list.Load(r));
      EXPECT_TRUE(r.AtEnd());
      EXPECT_EQ(Beats(list), c.want);
      continue;
    }
    try {
      list.Load(r);
      ADD_FAILURE() << "no error";
    } catch (const platform::FormatError& e) {
      EXPECT_NE(std::string(e.what()).find(c.fault), std::string::npos) << e.what();
    }
    EXPECT_EQ(Beats(list), (std::vector<int32_t>{3, 1}));
  }
}

}  // namespace
