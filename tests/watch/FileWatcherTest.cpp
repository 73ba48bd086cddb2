#include <gtest/gtest.h>

#include <fstream>

#include "support/TemporaryFolder.h"
#include "watch/FileWatcher.h"

namespace {

void Write(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

class FileWatcherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Write(shader, "one");
        Write(picture, "two");
        watcher.Watch({shader.string(), picture.string()});
    }

    // What a frame now and one well after it are told.
    std::vector<std::string> SavedLater()
    {
        const FileWatcher::Clock::time_point now = FileWatcher::Clock::now();
        std::vector<std::string> saved = watcher.TakeSaved(now);
        const std::vector<std::string> later = watcher.TakeSaved(now + 2 * FileWatcher::settleTime);
        saved.insert(saved.end(), later.begin(), later.end());
        return saved;
    }

    TemporaryFolder folder;
    std::filesystem::path shader = folder.Path() / "a.fs";
    std::filesystem::path picture = folder.Path() / "card.png";
    FileWatcher watcher;
};

}  // namespace

// However an editor saves, the save is one change, told once it has settled.
TEST_F(FileWatcherTest, EverySaveStyleIsOneChange)
{
    Write(shader, "in place");
    EXPECT_TRUE(watcher.TakeSaved(FileWatcher::Clock::now()).empty()) << "not settled yet";
    EXPECT_EQ(SavedLater(), std::vector<std::string>{shader.string()});
    EXPECT_TRUE(SavedLater().empty());

    const std::filesystem::path temporary = folder.Path() / ".a.fs.swp";
    Write(temporary, "renamed over");
    std::filesystem::rename(temporary, shader);
    EXPECT_EQ(SavedLater(), std::vector<std::string>{shader.string()});

    std::filesystem::remove(shader);
    EXPECT_TRUE(SavedLater().empty()) << "a missing file is waited for";
    Write(shader, "created again");
    EXPECT_EQ(SavedLater(), std::vector<std::string>{shader.string()});
    EXPECT_TRUE(SavedLater().empty());
}

// A rebuild after one save watches the show's files anew; a second save
// still settling then is not lost.
TEST_F(FileWatcherTest, ASaveStillSettlingOutlivesANewWatchList)
{
    Write(shader, "saved");
    Write(picture, "saved too");
    const FileWatcher::Clock::time_point now = FileWatcher::Clock::now();
    EXPECT_TRUE(watcher.TakeSaved(now).empty());
    watcher.Watch({shader.string(), picture.string()});
    EXPECT_EQ(watcher.TakeSaved(now + 2 * FileWatcher::settleTime),
              (std::vector<std::string>{shader.string(), picture.string()}));
}

TEST_F(FileWatcherTest, OnlyWatchedFilesAreTold)
{
    Write(folder.Path() / "notes.txt", "not the show's");
    Write(picture, "changed");
    EXPECT_EQ(SavedLater(), std::vector<std::string>{picture.string()});

    watcher.Watch({shader.string()});
    Write(picture, "no longer watched");
    Write(shader, "still watched");
    EXPECT_EQ(SavedLater(), std::vector<std::string>{shader.string()});
}

// A show folder of links: the file edited is where the link leads, and it is
// told under the name the show gave it.
TEST_F(FileWatcherTest, ALinkedFileIsWatchedWhereItLies)
{
    TemporaryFolder show;
    const std::filesystem::path link = show.Path() / "a.fs";
    std::filesystem::create_symlink(shader, link);
    watcher.Watch({link.string()});
    Write(shader, "edited at the source");
    EXPECT_EQ(SavedLater(), std::vector<std::string>{link.string()});
}

// A show folder without an asset's folder: the demo maker makes the folder
// and puts the replacement in it, at once or step by step.
TEST_F(FileWatcherTest, AFileIsSeenWhenItsFolderAppears)
{
    const std::filesystem::path deep = folder.Path() / "data/plasma/effekt2.fs";
    const std::filesystem::path model = folder.Path() / "data/rubber/simple.3ds";
    watcher.Watch({shader.string(), deep.string(), model.string()});
    EXPECT_TRUE(SavedLater().empty());

    std::filesystem::create_directories(deep.parent_path());
    Write(deep, "written with its folder");
    EXPECT_EQ(SavedLater(), std::vector<std::string>{deep.string()});
    Write(deep, "saved again");
    EXPECT_EQ(SavedLater(), std::vector<std::string>{deep.string()});

    std::filesystem::create_directory(model.parent_path());
    EXPECT_TRUE(SavedLater().empty()) << "a folder alone is no save";
    Write(model, "written later");
    EXPECT_EQ(SavedLater(), std::vector<std::string>{model.string()});
}

TEST_F(FileWatcherTest, AFolderDeletedAndMadeAgainIsWatchedAgain)
{
    const std::filesystem::path inner = folder.Path() / "shaders/first.fs";
    std::filesystem::create_directory(inner.parent_path());
    Write(inner, "first");
    watcher.Watch({shader.string(), inner.string()});

    std::filesystem::remove_all(inner.parent_path());
    EXPECT_TRUE(SavedLater().empty());
    std::filesystem::create_directory(inner.parent_path());
    Write(inner, "again");
    EXPECT_EQ(SavedLater(), std::vector<std::string>{inner.string()});
    Write(inner, "and edited");
    EXPECT_EQ(SavedLater(), std::vector<std::string>{inner.string()});
}
