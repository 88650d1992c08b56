#include "document/annotation_exchange_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "context_guard.h"
#include "document/qrs_complex.h"
#include "document/qrs_list.h"
#include "platform/archive.h"

namespace {

std::string Header(uint32_t count, uint32_t version = 1, const char* magic = "ZK470KHA") {
  std::string h(4096, '\0');
  h.replace(0, 8, magic);
  platform::StoreLE32(reinterpret_cast<uint8_t*>(h.data()) + 8, version);
  platform::StoreLE32(reinterpret_cast<uint8_t*>(h.data()) + 12, count);
  return h;
}

TEST(TAnnotationExchangeFile, HeaderValidity) {
  struct Case {
    const char* name;
    std::string bytes;
    bool valid;
  };
  const Case cases[] = {
      {"valid", Header(3), true},
      {"count 0", Header(0), false},
      {"version 2", Header(3, 2), false},
      {"other magic", Header(3, 1, "ZK470KHI"), false},
      {"short", Header(3).substr(0, 4000), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::istringstream in(c.bytes);
    TAnnotationExchangeFile file;
    EXPECT_EQ(file.ReadHeader(in), c.valid);
    EXPECT_EQ(file.IsValid(), c.valid);
  }
}

TEST(TAnnotationExchangeFile, BeatListRoundTripMapsClasses) {
  ContextGuard context;
  TQRSList beats;
  const int classes[] = {1, 5, 9, 15, 23, 29, 22};
  for (int i = 0; i < 7; ++i) beats.Append(TQRSComplex(125 * i + 3, static_cast<uint8_t>(classes[i])));
  std::ostringstream out;
  TAnnotationExchangeFile writer;
  writer.record_count = static_cast<uint32_t>(beats.GetSize());
  ASSERT_TRUE(writer.WriteHeader(out));
  ASSERT_TRUE(writer.WriteBeatList(out, beats, 125.0));
  const std::string bytes = out.str();
  ASSERT_EQ(bytes.size(), 4096u + 7 * 12);
  const auto* rec = reinterpret_cast<const uint8_t*>(bytes.data()) + 4096 + 12;
  EXPECT_EQ(platform::LoadLE32(rec), 16u);        // artefact
  EXPECT_EQ(platform::LoadLE32(rec + 4), 1024u);  // 128 samples at 125 Hz, truncated
  EXPECT_EQ(platform::LoadLE32(rec + 8), 1u);

  std::istringstream in(bytes);
  TAnnotationExchangeFile reader;
  ASSERT_TRUE(reader.ReadHeader(in));
  TQRSList back;
  ASSERT_TRUE(reader.ReadBeatList(in, back, 125.0));
  ASSERT_EQ(back.GetSize(), 7);
  const int want_classes[] = {1, 5, 9, 15, 23, 29, 39};  // an unmapped class comes back as 39
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(back.GetAt(i).GetClass(), want_classes[i]);
    EXPECT_EQ(back.GetAt(i).GetPriorClass(), kPriorNeverEdited);
    EXPECT_NEAR(back.GetAt(i).GetPosition(), 125 * i + 3, 1);
  }
}

TEST(TAnnotationExchangeFile, CodeTables) {
  const std::pair<int, int> codes[] = {{1, 1},   {4, 9},  {8, 9},   {9, 9},  {5, 15}, {6, 15},
                                       {12, 29}, {16, 5}, {41, 23}, {2, 39}, {-1, 39}};
  for (auto [code, beat_class] : codes)
    EXPECT_EQ(TAnnotationExchangeFile::BeatClassFromCode(code), beat_class) << code;
  EXPECT_EQ(TAnnotationExchangeFile::CodeFromBeatClass(2), 0);
}

TEST(TAnnotationExchangeFile, RefusesWhatItCannotRead) {
  ContextGuard context;
  TQRSList beats;
  std::ostringstream out;
  TAnnotationExchangeFile file;
  EXPECT_FALSE(file.WriteBeatList(out, beats, 0.5));

  // A count beyond the file: nothing appended.
  std::istringstream in(Header(5) + std::string(12 * 4, '\0'));
  TAnnotationExchangeFile reader;
  ASSERT_TRUE(reader.ReadHeader(in));
  EXPECT_FALSE(reader.ReadBeatList(in, beats, 125.0));
  EXPECT_EQ(beats.GetSize(), 0);
  TAnnotationExchangeFile unread;
  std::istringstream again(Header(1) + std::string(12, '\0'));
  EXPECT_FALSE(unread.ReadBeatList(again, beats, 125.0));

  const int32_t codes[] = {1, 5}, times[] = {8, 16}, aux[] = {0, 1};
  std::ostringstream records;
  EXPECT_FALSE(file.WriteRecords(records, 0, codes, times, aux));  // no header to write behind
  records.clear();
  file.record_count = 2;
  ASSERT_TRUE(file.WriteHeader(records));
  EXPECT_FALSE(file.WriteRecords(records, 3, codes, times, aux));
  ASSERT_TRUE(file.WriteRecords(records, 2, codes, times, aux));
  EXPECT_EQ(records.str().size(), 4096u + 24);
}

}  // namespace
