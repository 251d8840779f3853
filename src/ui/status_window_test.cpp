#include "ui/status_window.h"

#include <gtest/gtest.h>

namespace {

class Owner : public FrontEndOwner {
public:
    void RequestSkip() override {}
    void SetPaused(bool) override {}
};

TEST(StatusWindowTest, WritesChangedTextsOnlyWhileVisible) {
    Owner owner;
    StatusWindow window(owner);
    EXPECT_EQ(CurrentFrontEnd(), &window);
    ASSERT_TRUE(window.Init(1, "en", "Larkspire", true, true));
    EXPECT_EQ(window.Title(), u"Larkspire Skerrilux");

    testing::internal::CaptureStdout();
    window.Show(false);
    window.SetStatusText(u"hidden");
    window.Show(true);
    window.SetStatusText(u"Checking Version");
    window.SetStatusText(u"Checking Version");  // unchanged: not written again
    window.SetInfoText(u"Remaining 0:31\n9 KB/s");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Checking Version\nRemaining 0:31\n9 KB/s\n");

    EXPECT_TRUE(window.Pump());
    window.Shutdown();
    EXPECT_FALSE(window.Pump());
    EXPECT_EQ(window.GetExitCode(), 0);
}

TEST(StatusWindowTest, ProgressIsClamped) {
    Owner owner;
    StatusWindow window(owner);
    const std::pair<float, float> cases[] = {{0.5f, 0.5f}, {1.7f, 1}, {-0.2f, 0}, {1, 1}};
    for (const auto& [given, stored] : cases) {
        window.SetProgress(given);
        EXPECT_FLOAT_EQ(window.Progress(), stored) << given;
    }
}

TEST(StatusWindowTest, TheCurrentFrontEndEndsWithIt) {
    Owner owner;
    { StatusWindow window(owner); }
    EXPECT_EQ(CurrentFrontEnd(), nullptr);
}

}  // namespace
