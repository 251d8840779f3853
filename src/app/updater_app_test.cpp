#include "app/updater_app.h"

#include <gtest/gtest.h>

#include <string>

#include "app/framework_main.h"
#include "integrity/config_file.h"
#include "support/scratch_dir.h"

namespace {

class TestApp : public UpdaterApp {
public:
    TestApp() { updaterVersion = 32; }
    bool AcquireInstanceMutex() override { return true; }
    void ReleaseInstanceMutex() override {}
};

const char kRequired[] = "exe -game g -edition e -language en ";

struct ApplyCase {
    const char* options;
    bool legacy;
    bool accepted;
};

TEST(ApplyOptionsTest, RequiredOptionsAndVersionRules) {
    const ApplyCase cases[] = {
        {"exe -hash updater.exe", false, true},  // hash mode needs nothing else
        {"exe -game g -edition e -execute x -updaterversion 32", false, false},  // no language
        {"exe -game g -language en -execute x -updaterversion 32", false, false},  // no edition
        {"exe -edition e -language en -execute x -updaterversion 32", false, false},  // no game
        {"exe -game g -edition e -language en -execute x -updaterversion 32", false, true},
        {"exe -game g -edition e -language en -execute x -updaterversion 33", false, false},
        {"exe -game g -edition e -language en -execute x", false, false},  // must name a version
        {"exe -game RavelMoor -edition e -language en -execute x", true, true},
        {"exe -game g -edition e -language en -execute x", true, false},  // legacy is one game
        {"exe -game g -edition e -language en -updaterversion 32", false, false},  // no job
        {"exe -game g -edition e -language en -release 0 -updaterversion 32", false, false},
        {"exe -game g -edition e -language en -install p.tqa -updaterversion 32", false, true},
    };
    for (const ApplyCase& c : cases) {
        TestApp app;
        app.legacyConfig = c.legacy;
        EXPECT_EQ(app.ApplyOptions(std::make_unique<OptionSet>(c.options)), c.accepted)
            << c.options;
    }
}

TEST(ApplyOptionsTest, FillsTheFields) {
    TestApp app;
    ASSERT_TRUE(app.ApplyOptions(std::make_unique<OptionSet>(
        (std::string(kRequired) +
         "-execute game.exe -updaterversion 30 -module a -module b -module a -installation id "
         "-test 1 -local v.txt -hidden 1 -restricted 0 -apptitle \"\" -nopolling 1 "
         "-updateserver example.org:81")
            .c_str())));
    EXPECT_EQ(*app.execute, "game.exe");
    ASSERT_EQ(app.modules.size(), 2u);
    EXPECT_EQ(app.modules[0], "a");
    EXPECT_EQ(app.modules[1], "b");
    EXPECT_EQ(*app.installation, "id");
    EXPECT_TRUE(app.test);
    EXPECT_TRUE(app.local);
    EXPECT_EQ(*app.localPath, "v.txt");
    EXPECT_TRUE(app.hidden);
    EXPECT_FALSE(app.restricted);
    EXPECT_EQ(app.appTitle, "Larkspire");  // an empty title keeps the default
    EXPECT_FALSE(app.polling);
    const UpdateSettings settings = app.Settings();
    EXPECT_EQ(settings.host, "example.org");
    EXPECT_EQ(settings.port, 81);
}

TEST(ApplyOptionsTest, InstallModeReadsNoInstallationOrModules) {
    TestApp app;
    ASSERT_TRUE(app.ApplyOptions(std::make_unique<OptionSet>(
        (std::string(kRequired) + "-install p.tqa -module a -installation id -updaterversion 1")
            .c_str())));
    EXPECT_EQ(*app.install, "p.tqa");
    EXPECT_TRUE(app.modules.empty());
    EXPECT_FALSE(app.installation.has_value());
}

class EffectiveOptionsTest : public testing::Test {
protected:
    testing_support::ScratchDir dir_;
    testing_support::CurrentDirectory cwd_{dir_.Path()};
    TestApp app_;
};

TEST_F(EffectiveOptionsTest, AnotherConfigurationNameHasNoFallback) {
    ASSERT_TRUE(WriteConfigFile("config.bin", "-game ravelmoor\n-installation x"));
    EXPECT_FALSE(app_.BuildEffectiveOptions("updater -config other.bin"));
    EXPECT_TRUE(app_.BuildEffectiveOptions("updater"));
    EXPECT_TRUE(app_.legacyConfig);
    EXPECT_EQ(app_.configName, "config.bin");
}

TEST_F(EffectiveOptionsTest, ReleaseAndHashRunWithoutConfiguration) {
    EXPECT_FALSE(app_.BuildEffectiveOptions("updater -release 0"));
    EXPECT_TRUE(app_.BuildEffectiveOptions("updater -hash x"));
    EXPECT_TRUE(app_.BuildEffectiveOptions("updater -release 1"));
    EXPECT_EQ(app_.options->SourceText(), "updater -release 1");
}

TEST_F(EffectiveOptionsTest, AllowedFlagsEndAtAnEmptyNameAndNeverOverride) {
    ASSERT_TRUE(WriteConfigFile("gameconfig.bin",
                                "-language en\n-allowedgameflags language,,test\n-installation x"));
    ASSERT_TRUE(app_.BuildEffectiveOptions("\"C:\\my games\\updater.exe\" -language de -test 1"));
    std::string value;
    app_.options->GetText("language", value);
    EXPECT_EQ(value, "en");
    EXPECT_EQ(app_.options->GetText("test", value), 0);
    app_.options->FirstPlain(value);
    EXPECT_EQ(value, "C:\\my games\\updater.exe");
}

TEST_F(EffectiveOptionsTest, TheInstallationIdentifierIsWrittenOnce) {
    ASSERT_TRUE(WriteConfigFile("gameconfig.bin", "-game g"));
    ASSERT_TRUE(app_.BuildEffectiveOptions("updater"));
    std::string identifier;
    ASSERT_NE(app_.options->GetText("installation", identifier), 0);
    EXPECT_EQ(identifier.size(), 24u);
    String stored;
    ASSERT_TRUE(ReadConfigFile("gameconfig.bin", stored));
    EXPECT_EQ(stored, String("-game g\n-installation " + identifier));

    TestApp again;
    ASSERT_TRUE(again.BuildEffectiveOptions("updater"));
    std::string same;
    again.options->GetText("installation", same);
    EXPECT_EQ(same, identifier);
    ASSERT_TRUE(ReadConfigFile("gameconfig.bin", stored));
    EXPECT_EQ(stored, String("-game g\n-installation " + identifier));
}

TEST(MagicTest, AWrongValueDropsEveryOption) {
    const std::string right = "updater -magic " + std::string(MagicAccessValue().View()) + " -x 1";
    EXPECT_EQ(CheckedCommandLine(String(right)), String(right));
    EXPECT_EQ(CheckedCommandLine("updater -x 1"), "updater -x 1");
    EXPECT_EQ(CheckedCommandLine("updater -magic 00 -x 1"), "updater");
}

}  // namespace
