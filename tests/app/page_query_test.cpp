// The page's address: every value it takes reaches the demo, and anything malformed or out of
// range is refused with a reason that names it, never taken silently or left to hang the page.
#include "app/web/page_query.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PageQueryTest, TakesEveryValueDecodedAndLeavesOthersAlone) {
  const PageQuery query = ParsePageQuery(
      "?utm=x&size=2532x1170&pace=frame&play=up*60%20up+left*4&record&size=1x1&pace=no");
  ASSERT_EQ(query.error, "");
  EXPECT_EQ(query.width, 2532);
  EXPECT_EQ(query.height, 1170);
  EXPECT_TRUE(query.paceFrame);
  EXPECT_TRUE(query.record);
  EXPECT_FALSE(query.timedemo);
  ASSERT_EQ(query.play.size(), 2u);  // "up*60 up+left*4": '+' joins keys, %20 parts groups
  EXPECT_EQ(query.play[0].passes, 60);
  EXPECT_TRUE(query.play[1].arrows.up && query.play[1].arrows.left);

  const PageQuery timed = ParsePageQuery("timedemo&frames=1000000");
  ASSERT_EQ(timed.error, "");
  EXPECT_TRUE(timed.timedemo);
  EXPECT_EQ(timed.frames, 1000000);
  EXPECT_EQ(ParsePageQuery("").error, "");
  EXPECT_EQ(ParsePageQuery("?").width, 0);
}

TEST(PageQueryTest, RefusesWhatItCannotFollowByName) {
  const struct {
    const char* query;
    const char* named;
  } cases[] = {
      {"?timedemo&frames=3000000000", "frames '3000000000'"},  // once wrapped to a negative count
      {"?timedemo&frames=0", "frames '0'"},
      {"?timedemo&frames=-5", "frames '-5'"},
      {"?timedemo&frames=12abc", "frames '12abc'"},
      {"?frames=100", "add timedemo"},
      {"?size=0x768", "size '0x768'"},
      {"?size=100000x10", "size '100000x10'"},
      {"?size=1024", "size '1024'"},
      {"?size=1024x768x2", "size '1024x768x2'"},
      {"?pace=fast", "pace 'fast'"},
      {"?play=upp*3", "'upp*3'"},
      {"?play=up*0", "'up*0'"},
      {"?play=", "play needs steps"},
      {"?timedemo&play=up", "timedemo takes neither"},
      {"?size=%zz", "'size=%zz'"},
      {"?play=up%2", "'play=up%2'"},
  };
  for (const auto& c : cases) {
    const PageQuery query = ParsePageQuery(c.query);
    EXPECT_NE(query.error.find(c.named), std::string::npos) << c.query << ": " << query.error;
    EXPECT_FALSE(query.timedemo) << c.query;  // a refused query starts nothing
  }
}

}  // namespace
