#include "document/zk130_info_list.h"

#include <gtest/gtest.h>

namespace {

TEST(TZK130InfoList, EpisodesOpenAndCloseByChannel) {
  TZK130InfoList list;
  list.AddEntry(3, 100, 0);
  list.AddEntry(3, 900, 0);
  EXPECT_EQ(list.Episodes(0), (std::vector<TInfoEpisode>{{0, 100, 900}}));
  EXPECT_FALSE(list.IsEpisodeOpen(0));
  list.AddEntry(3, 1000, 0);  // opens a new one that stays invisible until closed
  EXPECT_EQ(list.Episodes(0).size(), 1u);
  EXPECT_TRUE(list.IsEpisodeOpen(0));
  EXPECT_EQ(list.OpenEpisodeStart(0), 1000);
  EXPECT_FALSE(list.IsEpisodeOpen(1));
}

TEST(TZK130InfoList, PositionKindsIgnoreTheChannelAndOtherKindsNothing) {
  TZK130InfoList list;
  list.AddEntry(0, 5, 2);
  list.AddEntry(1, 6, 0);
  list.AddEntry(2, 7, 1);
  list.AddEntry(4, 8, 0);
  list.AddEntry(5, 9, 0);
  list.AddEntry(0, 4, 0);
  list.AddEntry(3, 50, 2);  // channel 2 has no episodes
  list.AddEntry(6, 60, 0);  // unknown kind
  list.AddEntry(-1, 70, 0);
  EXPECT_EQ(list.Positions(0), (std::vector<int32_t>{5, 4}));
  EXPECT_EQ(list.Positions(1), (std::vector<int32_t>{6}));
  EXPECT_EQ(list.Positions(2), (std::vector<int32_t>{7}));
  EXPECT_EQ(list.Positions(4), (std::vector<int32_t>{8}));
  EXPECT_EQ(list.Positions(5), (std::vector<int32_t>{9}));
  EXPECT_TRUE(list.Positions(3).empty());
  EXPECT_TRUE(list.Positions(6).empty());
  EXPECT_FALSE(list.IsEpisodeOpen(0));
  EXPECT_FALSE(list.IsEpisodeOpen(1));
  EXPECT_TRUE(list.Episodes(2).empty());

  list.AddEntry(3, 1, 1);
  list.RemoveAll();
  list.FreeExtra();
  for (int kind : {0, 1, 2, 4, 5}) EXPECT_TRUE(list.Positions(kind).empty());
  EXPECT_FALSE(list.IsEpisodeOpen(1));
  EXPECT_EQ(list.OpenEpisodeStart(1), 0);
}

}  // namespace
