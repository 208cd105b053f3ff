#include <gtest/gtest.h>

#include <filesystem>

#include "shell/reader.h"
#include "shell/save_file.h"
#include "tests/support/session.h"

namespace {

using namespace lanthorn;
using testing_support::LoadFixture;
using testing_support::Session;
namespace fs = std::filesystem;

// Plays "The Crossing" from its first page through a move, an aside, a d20
// roll, a typed answer, a restart point and back, and keeps the story in a
// save file between two runs.
TEST(Playthrough, FromTheFirstPageToARestartAndAcrossARestartOfTheProgram) {
  auto book = LoadFixture("crossing");
  const fs::path save = fs::path(::testing::TempDir()) / "crossing-play.dat";
  fs::remove(save);

  {
    Session s(book->book());
    FileHandle file = s.platform.OpenExclusive(save.c_str());
    LoadSaveRecord(*s.reader, file, true);
    const NavigationState& n = s.reader->navigation;
    s.Open(2);
    EXPECT_EQ(s.Choices(), (std::vector<std::string>{"Walk to the ice", "Check your pack"}));
    EXPECT_EQ(Held(s.reader->story, 1), 1);  // the rope is picked up as the page is built

    s.Click(s.Choice("Check your pack"));  // an aside
    EXPECT_EQ(n.shownPage, 21);
    EXPECT_EQ(n.readingPosition, 2);
    EXPECT_EQ(n.storyMode, 0u);
    EXPECT_EQ(s.Page(), "H[Your Pack] | T[Lantern: unlit. ]");
    ReturnToStory(*s.reader);
    EXPECT_EQ(n.shownPage, 2);

    s.platform.SetTickCount(60);  // seeds the generator: first d20 roll 2 holds
    s.Click(s.Choice("Walk to the ice"));
    EXPECT_EQ(n.readingPosition, 11);
    EXPECT_EQ(s.platform.sounds(), std::vector<std::string>{"ICE_CRACK"});
    EXPECT_EQ(s.reader->story.state.restartPoints[0].reached, 1);
    EXPECT_NE(s.Page().find("Your rope is coiled on your shoulder."), std::string::npos);
    s.Click(s.Choice("Test the ice"));
    EXPECT_EQ(n.readingPosition, 12);

    s.Type(4000, "Red door");  // the box holds 8 characters: "Red door"
    EXPECT_EQ(n.readingPosition, 16);
    s.Click(s.Choice("Light the lantern"));
    EXPECT_EQ(n.readingPosition, 17);
    EXPECT_STREQ(OptionText(s.reader->story, 0), "lit");

    // Back to the bank: the items return to their state there.
    GoToPage(*s.reader, 3, PageMode::kAside);
    EXPECT_EQ(s.Choices(), std::vector<std::string>{"The bank"});
    s.Click(s.Choice("The bank"));
    EXPECT_EQ(n.readingPosition, 11);
    EXPECT_EQ(n.storyMode, 1u);
    EXPECT_STREQ(OptionText(s.reader->story, 0), "unlit");
    EXPECT_EQ(Held(s.reader->story, 1), 1);

    ASSERT_TRUE(StoreSaveRecord(*s.reader, file));
    s.platform.CloseFile(file);
  }

  Session again(book->book());
  FileHandle file = again.platform.OpenExclusive(save.c_str());
  LoadSaveRecord(*again.reader, file, false);
  again.platform.CloseFile(file);
  EXPECT_EQ(again.reader->navigation.shownPage, 11);
  EXPECT_EQ(Held(again.reader->story, 1), 1);
  EXPECT_EQ(again.reader->story.state.restartPoints[0].reached, 1);
  EXPECT_EQ(again.reader->story.state.restartPoints[1].reached, 0);
  fs::remove(save);
}

}  // namespace
