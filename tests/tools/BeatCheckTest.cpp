#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/TemporaryFolder.h"

namespace {

struct Said {
    int exitCode;
    std::string output;
    std::string errors;
};

Said BeatCheck(const std::string& arguments)
{
    const TemporaryFolder folder;
    const std::string command = std::string("'") + BEAT_CHECK_PROGRAM + "' " + arguments + " > '" +
                                (folder.Path() / "out").string() + "' 2> '" + (folder.Path() / "err").string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(folder.Path() / "out"),
            ReadBytes(folder.Path() / "err")};
}

}  // namespace

TEST(BeatCheck, HelpSaysWhatItDoesAndAMistakeExitsWithTwo)
{
    const Said help = BeatCheck("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.output.rfind("Usage: kestrova-beat-check FILE\n", 0), 0u) << help.output;
    EXPECT_NE(help.output.find("Exit status: 0"), std::string::npos);
    EXPECT_TRUE(help.errors.empty());

    for (const char* mistake : {"", "--bogus", "a.ogg b.ogg"}) {
        const Said said = BeatCheck(mistake);
        EXPECT_EQ(said.exitCode, 2) << mistake;
        EXPECT_NE(said.errors.find("Usage: kestrova-beat-check FILE"), std::string::npos) << mistake;
    }
    const Said missing = BeatCheck("/no/such/music.ogg");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.errors.find("/no/such/music.ogg"), std::string::npos) << missing.errors;
}
