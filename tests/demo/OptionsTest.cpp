// The command line: how WinMain's string splits into arguments, what the
// options ask for, and where the presentation's files are looked for.
#include "FakePlatform.h"
#include "demo/AssetFolder.h"
#include "demo/CommandLine.h"
#include "demo/DemoOptions.h"
#include "support/Files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

namespace {

TEST(CommandLine, SplitsAsWindowsRuntimeDoes)
{
    const struct {
        const char* line;
        std::vector<std::string> arguments;
    } cases[] = {
        {"", {}},
        {" \t ", {}},
        {"--windowed  --assets\tx", {"--windowed", "--assets", "x"}},
        {"--assets \"C:\\My Pictures\\qorx\"", {"--assets", "C:\\My Pictures\\qorx"}},
        {"a\"b c\"d", {"ab cd"}},
        {"\"\" x", {"", "x"}},
        {"C:\\dir\\ \"end\\\\\"", {"C:\\dir\\", "end\\"}}, // backslashes count only before a quote
        {"say\\\"hi\\\\\\\"", {"say\"hi\\\""}},            // odd backslashes: a literal quote
        {"\"unterminated quote", {"unterminated quote"}},
    };
    for (const auto& each : cases)
        EXPECT_THAT(CommandLine(each.line).arguments(), ElementsAreArray(each.arguments)) << each.line;
    EXPECT_TRUE(CommandLine(nullptr).arguments().empty());
}

DemoOptions parse(std::vector<std::string> arguments)
{
    return DemoOptions::parse(arguments);
}

TEST(DemoOptions, AcceptWhatTheHelpOffers)
{
    const DemoOptions none = parse({});
    EXPECT_EQ(none.action, DemoOptions::Show);
    EXPECT_FALSE(none.windowed);
    EXPECT_EQ(none.assetsFolder, "");

    const DemoOptions shown = parse({"--windowed", "--assets", "a b", "--assets=c"});
    EXPECT_EQ(shown.action, DemoOptions::Show);
    EXPECT_TRUE(shown.windowed);
    EXPECT_EQ(shown.assetsFolder, "c") << "the last value counts";

    const DemoOptions recorded = parse({"--frames=999999", "--record", "out.mp4"});
    EXPECT_EQ(recorded.action, DemoOptions::Record);
    EXPECT_EQ(recorded.recordTarget, "out.mp4");
    EXPECT_EQ(recorded.frames, 999999);

    EXPECT_EQ(parse({"--windowed", "--help"}).action, DemoOptions::Help);
    EXPECT_THAT(DemoOptions::helpText(), HasSubstr("Escape"));
    for (const char* option : {"--windowed", "--assets DIR", "--record DIR", "--record FILE.mp4", "--frames N"})
        EXPECT_THAT(DemoOptions::helpText(), HasSubstr(option));
}

TEST(DemoOptions, RefuseAnythingElseSayingWhy)
{
    const struct {
        std::vector<std::string> arguments;
        const char* problem;
    } cases[] = {
        {{"--fullscreen"}, "unknown option '--fullscreen'"},
        {{"--assetsdir"}, "unknown option '--assetsdir'"},
        {{"-h"}, "unknown option '-h'"},
        {{"assets"}, "unexpected argument 'assets'"},
        {{"--assets"}, "--assets needs a value"},
        {{"--assets="}, "--assets needs a value"},
        {{"--record", "x"}, "--record needs --frames N"},
        {{"--frames", "5"}, "--frames goes with --record"},
        {{"--record", "x", "--frames", "0"}, "--frames needs a whole number from 1 to 999999, not '0'"},
        {{"--record", "x", "--frames", "1000000"}, "--frames needs a whole number from 1 to 999999, not '1000000'"},
        {{"--record", "x", "--frames", "-3"}, "--frames needs a whole number from 1 to 999999, not '-3'"},
        {{"--record", "x", "--frames", "2e3"}, "--frames needs a whole number from 1 to 999999, not '2e3'"},
        {{"--help", "--bogus"}, "unknown option '--bogus'"},
    };
    for (const auto& each : cases) {
        const DemoOptions options = parse(each.arguments);
        EXPECT_EQ(options.action, DemoOptions::UsageError) << each.problem;
        EXPECT_EQ(options.problem, each.problem);
    }
}

// A scratch tree standing for an installed program: PREFIX/bin/qorx-demo
// (as GetModuleFileNameA reports it) and PREFIX/share/qorx, and a working
// directory of its own.
class AssetLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* folder : {"bin", "share/qorx", "work", "named"})
            fs::create_directories(root / folder);
        fake::setModuleFileName((root / "bin" / "qorx-demo").string());
        home = fs::current_path();
        fs::current_path(root / "work");
    }
    void TearDown() override
    {
        fs::current_path(home);
        fake::setModuleFileName("");
    }

    void fill(const std::string& folder, bool allPictures = true)
    {
        for (const char* name : AssetFolder::Pictures)
            if (allPictures || std::string(name) != "fin.jpg")
                std::ofstream(root / folder / name) << "picture";
    }

    std::string lookUp(const std::string& named = "")
    {
        AssetFolder assets;
        if (!assets.locate(named))
            return "failed: " + assets.problem;
        return assets.path("mirk.jpg");
    }

    TempFolder root;
    fs::path home;
};

TEST_F(AssetLookup, TriesTheWorkingDirectoryThenTheDataFolderThenTheProgramsFolder)
{
    EXPECT_EQ(AssetFolder::installedDataFolder(), (root / "share/qorx").string());
    fill("bin");
    EXPECT_EQ(lookUp(), (root / "bin/mirk.jpg").string());
    fill("share/qorx");
    EXPECT_EQ(lookUp(), (root / "share/qorx/mirk.jpg").string());
    fill("work", false);
    EXPECT_EQ(lookUp(), "mirk.jpg") << "the working directory by bare names, as always, with a picture missing too:"
                                       " that one fails when its turn to load comes";
    fill("named");
    EXPECT_EQ(lookUp((root / "named").string()), (root / "named/mirk.jpg").string());
}

TEST_F(AssetLookup, SaysWhereItLookedWhenNoFolderHoldsThePictures)
{
    const std::string expected = "failed: the presentation's pictures (stormledge.jpg, mirk.jpg, fin.jpg) are in "
                                 "none of these folders:\n  " +
                                 (root / "work").string() + " (the working directory)\n  " +
                                 (root / "share/qorx").string() + " (the installed data folder)\n  " +
                                 (root / "bin").string() +
                                 " (the program's folder)\nName the folder that holds them with --assets DIR.";
    EXPECT_EQ(lookUp(), expected);
}

TEST_F(AssetLookup, ANamedFolderMustExistAndHoldThePictures)
{
    fill("work");
    const std::string missing = (root / "missing").string();
    EXPECT_EQ(lookUp(missing), "failed: --assets " + missing + ": no such folder");
    const std::string file = (root / "work/mirk.jpg").string();
    EXPECT_EQ(lookUp(file), "failed: --assets " + file + ": not a folder");
    fill("named", false);
    const std::string named = (root / "named").string();
    EXPECT_EQ(lookUp(named), "failed: --assets " + named + ": no fin.jpg in it");
}

} // namespace
