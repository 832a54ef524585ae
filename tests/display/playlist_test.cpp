// The music playlist: random tracks, never the same entry twice running.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "common/brains.h"
#include "display/game_window.h"
#include "display/playlist.h"
#include "display_game.h"
#include "frontend/fmain.h"
#include "platform/bass.h"

namespace fs = std::filesystem;

namespace pomlets::testing {
namespace {

class PlaylistTest : public DisplayGameTest {
protected:
    void SetUp() override {
        DisplayGameTest::SetUp();
        fMain().songs->clear();
        lastSongIndex = -1;
    }
    void TearDown() override {
        fMain().songs->clear();
        DisplayGameTest::TearDown();
    }
    void setPlaylist(const QStringList& entries) {
        fMain().songs->clear();
        fMain().songs->addItems(entries);
    }
    // How many times the title was drawn where it belongs, as it was drawn.
    std::vector<std::string> titlesDrawn() const {
        std::vector<std::string> titles;
        for (const auto& text : backBuffer->textLog())
            if (text.x == 80 && text.y == 723) titles.push_back(text.text);
        return titles;
    }
};

TEST_F(PlaylistTest, ChoicesNeverRepeatThePreviousEntryAlsoAcrossGames) {
    setPlaylist({"Alpha", "Beta", "Gamma", "Delta"});  // no such files: the choice alone is tested
    std::set<int16_t> chosen;
    int16_t previous = -1;
    for (int game = 0; game < 3; ++game) {
        startGame();
        for (int track = 0; track < 200; ++track) {
            nextSong();
            ASSERT_NE(lastSongIndex, previous);
            ASSERT_GE(lastSongIndex, 0);
            ASSERT_LT(lastSongIndex, 4);
            EXPECT_EQ(nowPlaying, fMain().songs->item(lastSongIndex)->text().toStdString());
            chosen.insert(lastSongIndex);
            previous = lastSongIndex;
        }
        endTheGame();
    }
    EXPECT_EQ(chosen.size(), 4u);
}

TEST_F(PlaylistTest, OneEntryPlaysAgainAndAnEmptyPlaylistPlaysNothing) {
    setPlaylist({"Only"});
    startGame();
    nextSong();
    EXPECT_EQ(lastSongIndex, 0);
    nextSong();  // no other entry: the same one again, and the choice ends
    EXPECT_EQ(lastSongIndex, 0);
    EXPECT_EQ(nowPlaying, "Only");

    setPlaylist({});
    nextSong();
    EXPECT_EQ(nowPlaying, "Only");
    EXPECT_EQ(BASS_ChannelIsActive(musicStream), 0);
    backBuffer->clearTextLog();
    updateMusic();
    EXPECT_EQ(titlesDrawn(), std::vector<std::string>{"Only"});
    endTheGame();
}

TEST_F(PlaylistTest, AMissingTrackIsSkippedOnTheNextPassAndTheTitleDrawnEveryPass) {
    const std::string music = ownFolder("music");
    writeSilentWav(music + "/Present", 20);
    setPlaylist({"Absent", "Present"});  // sorted: Absent 0, Present 1
    musicVolume = 37;
    startGame();
    lastSongIndex = 1;  // so that the missing one is chosen first
    nextSong();
    EXPECT_EQ(nowPlaying, "Absent");
    EXPECT_EQ(musicStream, 0u);

    backBuffer->clearTextLog();
    updateMusic();  // the title of the missing track is shown, then the next one starts
    EXPECT_EQ(titlesDrawn(), std::vector<std::string>{"Absent"});
    EXPECT_EQ(nowPlaying, "Present");
    ASSERT_NE(musicStream, 0u);
    EXPECT_NE(BASS_ChannelIsActive(musicStream), 0);
    EXPECT_EQ(bassStreamVolume(musicStream), 37);

    const HSTREAM playing = musicStream;
    for (int pass = 0; pass < 3; ++pass) updateMusic();
    EXPECT_EQ(musicStream, playing);  // a playing track is left alone
    EXPECT_EQ(titlesDrawn(), (std::vector<std::string>{"Absent", "Present", "Present", "Present"}));
    endTheGame();
    EXPECT_EQ(BASS_ChannelIsActive(playing), 0);  // freed with the output
}

TEST_F(PlaylistTest, AVolumeOfZeroStartsTheTrackSilent) {
    const std::string music = ownFolder("music");
    writeSilentWav(music + "/Quiet", 5);
    setPlaylist({"Quiet"});
    startGame();
    for (int16_t volume : {0, 100}) {
        musicVolume = volume;
        nextSong();
        EXPECT_EQ(bassStreamVolume(musicStream), volume);
    }
    endTheGame();
}

} // namespace
} // namespace pomlets::testing
