#include "document/event_list.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "archive_bytes.h"
#include "member_io.h"
#include "context_guard.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "record_generator.h"

namespace {

void Event(ArchiveBytes& b, uint32_t tag, int32_t start, uint8_t kind, uint8_t prior, int32_t end) {
  b.U32(tag).I32(start).U8(kind).U8(prior).I32(end);
}

TEvent MakeEvent(int32_t start, int32_t end, uint8_t kind, uint8_t prior) {
  TEvent event(start, end, kind);
  event.SetPriorClass(prior);
  return event;
}

TEST(TEventList, EmptyListBytesAtVersion32And25) {
  for (const int32_t version : {32, 25}) {
    SCOPED_TRACE(version);
    ArchiveBytes expected;
    expected.I32(version).U16(0).I32Repeat(0, 40);
    EXPECT_EQ(StoreMember(TEventList(), version), expected.Bytes());
  }
}

TEST(TEventList, WritesPacked14ByteRecords) {
  TEventList list;
  list.Append(TEvent(100, 900, kClassPause));
  list.Append(MakeEvent(500, 500, kClassMarker, 3));
  ArchiveBytes expected;
  expected.I32(32).U16(2);
  Event(expected, TQRSComplex::kRecordTag, 100, kClassPause, '!', 900);
  Event(expected, TQRSComplex::kRecordTag, 500, kClassMarker, 3, 500);
  for (int code = 0; code < 40; ++code) expected.I32(code == kClassPause || code == kClassMarker ? 1 : 0);
  EXPECT_EQ(StoreMember(list, 32), expected.Bytes());
}

// Unlike beats, events keep their stored prior kind in every version.
TEST(TEventList, LoadsOlderVersionsKeepingPriorKinds) {
  for (const int32_t version : {2, 3, 20, 27, 32}) {
    SCOPED_TRACE(version);
    ArchiveBytes b;
    b.I32(version).U16(1);
    Event(b, 0x11223344, 1000, kClassTachycardia, 7, 5000);
    b.I32Repeat(3, version <= 3 ? 22 : 40);
    TEventList list;
    platform::ArchiveReader r(b.Bytes(), "test");
    list.Load(r);
    EXPECT_TRUE(r.AtEnd());
    ASSERT_EQ(list.GetSize(), 1);
    EXPECT_EQ(list.GetAt(0), MakeEvent(1000, 5000, kClassTachycardia, 7));
    for (int code = 0; code < kClassCount; ++code) EXPECT_EQ(list.GetCounter(code), code == kClassTachycardia ? 1 : 0);
  }
}

TEST(TEventList, RandomListsRoundTripAtVersion32) {
  RecordGenerator gen(4711);
  for (int iteration = 0; iteration < 300; ++iteration) {
    SCOPED_TRACE(iteration);
    const TEventList list = gen.Events(100);
    TEventList loaded = gen.Events(5);
    ASSERT_NO_FATAL_FAILURE(ExpectRoundTrip(list, loaded));
    ASSERT_EQ(loaded.Counters(), list.Counters());
  }
}

TEST(TEventList, GroupTestsByKind) {
  const std::set<int> sv = {10, 11, 12, 13, 14};
  const std::set<int> v = {16, 17, 18, 19, 20, 23};
  const std::set<int> rhythm = {6, 7, 8, 24};
  TEventList list;
  for (int kind = 0; kind < kClassCount; ++kind) list.Append(TEvent(kind, kind, static_cast<uint8_t>(kind)));
  for (int kind = 0; kind < kClassCount; ++kind) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(list.IsSVEvent(kind), sv.count(kind) == 1);
    EXPECT_EQ(list.IsVEvent(kind), v.count(kind) == 1);
    EXPECT_EQ(list.IsBeatPatternEvent(kind), sv.count(kind) + v.count(kind) == 1);
    EXPECT_EQ(list.IsRhythmEvent(kind), rhythm.count(kind) == 1);
    EXPECT_EQ(TEventList::IsRhythmEventType(list.GetAt(kind)), rhythm.count(kind) == 1);
  }
}

TEST(TEventList, EditModeMarksAChangedKindButNotAnInsertion) {
  ContextGuard guard;
  TEventList list;
  list.Append(TEvent(100, 200, kClassUser));
  document::Context().edit_mode = 1;
  list.InsertAt(0, TEvent(50, 60, kClassMarker));
  EXPECT_EQ(list.GetAt(0).GetPriorClass(), '!');
  list.SetType(1, kClassAtrialFibrillation);
  EXPECT_EQ(list.GetAt(1).GetPriorClass(), kClassUser);
  EXPECT_EQ(list.GetCounter(kClassUser), 0);
  EXPECT_EQ(list.GetCounter(kClassAtrialFibrillation), 1);
}

TEST(TEventList, UndoAllAfterAMixedSequenceRestoresEventsAndCounters) {
  ContextGuard guard;
  document::Context().edit_mode = 1;
  RecordGenerator gen(99);
  TEventList list = gen.Events(20);
  const TEventList before = list;
  list.EnableUndoLog(true);
  list.Append(TEvent(1, 2, kClassUser));
  list.InsertAt(0, TEvent(0, 0, kClassMarker));
  list.SetType(0, kClassPaceMaker);
  list.RemoveAt(list.GetSize() - 1);
  list.AppendShifted(gen.Events(5), 100);
  list.RemoveAt(0);
  list.UndoAll();
  EXPECT_EQ(list, before);
  EXPECT_EQ(list.Counters(), before.Counters());
}

TEST(TEventList, AppendShiftedMovesStartAndEnd) {
  TEventList other;
  other.Append(MakeEvent(10, 20, kClassPause, ' '));
  TEventList list;
  EXPECT_EQ(list.AppendShifted(other, 7500), 1);
  EXPECT_EQ(list.GetAt(0), MakeEvent(7510, 7520, kClassPause, '!'));
}

// Damaged members raise FormatError and leave the list as it was. Where the bytes after stay in
// step the list reads on: one of unknown version is read past whole, an event of a kind above 39 is
// kept with the replacement code.
TEST(TEventList, BadInputRaisesFormatErrorAndKeepsTheList) {
  auto valid = [] {
    ArchiveBytes b;
    b.I32(32).U16(1);
    Event(b, 0, 100, 6, '!', 400);
    b.I32Repeat(0, 40);
    return b.Bytes();
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* fault;   // nullptr: reads on
    int want_kind = -1;  // of the one event read; -1: the list as it was
  };
  std::vector<uint8_t> kind_40 = valid();
  kind_40[4 + 2 + 8] = 40;
  std::vector<uint8_t> cut = valid();
  cut.resize(4 + 2 + 13);
  std::vector<uint8_t> old_counters = valid();
  old_counters[0] = 3;  // version 3 holds 22 counters: 72 bytes left over, read as the next member
  std::vector<uint8_t> short_counters = valid();
  short_counters.resize(short_counters.size() - 1);
  std::vector<uint8_t> version_40 = valid();
  version_40[0] = 40;
  const Case cases[] = {
      // Read past, a list of version 0 would need its 22 counters after the count.
      {"version 0", {0, 0, 0, 0, 0, 0}, "exceeds"},
      {"version 40 read past", version_40, nullptr},
      {"kind 40", kind_40, nullptr, document::kReplacementCode},
      {"cut in an event", cut, "exceeds"},
      {"counters cut short", short_counters, "exceeds"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TEventList list;
    list.Append(TEvent(5, 6, kClassUser));
    const TEventList before = list;
    platform::ArchiveReader r(c.bytes, "00012.QRS");
    document::MemberReadNotes notes;
    if (c.fault == nullptr) {
      ASSERT_NO_THROW(list.Load(r, &notes));
      EXPECT_TRUE(r.AtEnd());
      if (c.want_kind < 0) {
        EXPECT_EQ(list, before);
        EXPECT_EQ(notes.replaced_event_codes, 0);
      } else {
        ASSERT_EQ(list.GetSize(), 1);
        EXPECT_EQ(list.GetAt(0), MakeEvent(100, 400, static_cast<uint8_t>(c.want_kind), '!'));
        EXPECT_EQ(list.GetCounter(c.want_kind), 1);
        EXPECT_EQ(notes.replaced_event_codes, 1);
      }
      continue;
    }
    try {
      list.Load(r, &notes);
      ADD_FAILURE() << "no error";
    } catch (const platform::FormatError& e) {
      EXPECT_NE(std::string(e.what()).find(c.fault), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("event list"), std::string::npos) << e.what();
    }
    EXPECT_EQ(list, before);
    EXPECT_EQ(list.Counters(), before.Counters());
  }
  // Not an error of the list itself: a version-3 list is shorter, and what follows is the next member's.
  TEventList list;
  platform::ArchiveReader r(old_counters, "test");
  list.Load(r);
  EXPECT_EQ(r.Remaining(), 18u * 4);
}

}  // namespace
