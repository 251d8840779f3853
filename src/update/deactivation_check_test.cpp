#include "update/deactivation_check.h"

#include <gtest/gtest.h>

#include "update/update_test_server.h"

namespace {

TEST(DeactivationCheckTest, NoticeIsTheTextBetweenTheFirstDivMarkers) {
  struct Case {
    const char* body;
    const char* notice;
  } cases[] = {
      {"The game is closed.", "The game is closed."},
      {"<html><div>Closed.</div><div>more</div></html>", "Closed."},
      {"head <div>no end", "no end"},
      {"</div>starts with the end", "</div>starts with the end"},
      {"before</div>after", "before"},
  };
  for (const Case& c : cases) EXPECT_EQ(NoticeText(c.body), c.notice) << c.body;
}

TEST(DeactivationCheckTest, NoticeComesFromTheEditionFolder) {
  REQUIRE_RELEASE_SERVER();
  server.Publish("g/linux/live/closed/deactivated.txt.bin", "<p><div>Gone for good.</div></p>");
  server.Publish("g/linux/test/closed/deactivated.txt.bin", "Test server closed.");
  UpdateSettings settings = server.Settings("closed");
  EXPECT_EQ(DeactivationUrl(settings),
            String((server.HostPort() + "/g/linux/live/closed/deactivated.txt.bin").c_str()));

  std::u16string notice;
  EXPECT_TRUE(FetchDeactivationNotice(settings, notice));
  EXPECT_EQ(notice, u"Gone for good.");
  settings.test = true;
  EXPECT_TRUE(FetchDeactivationNotice(settings, notice));
  EXPECT_EQ(notice, u"Test server closed.");
  notice.clear();
  EXPECT_FALSE(FetchDeactivationNotice(server.Settings("open"), notice));
  EXPECT_TRUE(notice.empty());
}

}  // namespace
