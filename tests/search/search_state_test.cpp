#include <gtest/gtest.h>

#include "search/search_state.h"
#include "test_util.h"

namespace {

TEST(SetLevel, LoadsTheLimitsAndAnnouncesEveryCall) {
  char* buf = nullptr;
  size_t len = 0;
  std::FILE* out = open_memstream(&buf, &len);
  SearchState s;
  EXPECT_EQ(s.quiet_limit + s.three_limit + s.mixed_limit, 0);
  EXPECT_EQ(s.check_count, 1);
  EXPECT_EQ(s.node_count, 1);
  set_level(s, 1, out);
  EXPECT_EQ((std::array{s.quiet_limit, s.three_limit, s.mixed_limit}), (std::array{4, 8, 9}));
  set_level(s, 1, out);
  set_level(s, 4, out);
  EXPECT_EQ((std::array{s.quiet_limit, s.three_limit, s.mixed_limit}), (std::array{10, 14, 15}));
  std::fclose(out);
  EXPECT_EQ(std::string(buf, len), "MESSAGE Level... 1\nMESSAGE Level... 1\nMESSAGE Level... 4\n");
  std::free(buf);
}

}  // namespace
