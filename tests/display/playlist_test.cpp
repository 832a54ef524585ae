// The music playlist: random tracks, never the same entry twice running.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sys/inotify.h>
#include <unistd.h>

#include "common/brains.h"
#include "display/game_window.h"
#include "display/playlist.h"
#include "display_game.h"
#include "frontend/fmain.h"
#include "datafiles/music_list.h"
#include "platform/bass.h"
#include "support/platform_port.h"
#include "support/sound_watch.h"

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
    // A music folder of its own holding a copy of a built track under each name.
    std::string tracksNamed(const std::vector<std::string>& names) const {
        const std::string music = ownFolder("music");
        for (const auto& name : names) fs::copy_file(fs::path(music) / builtInTracks[0], fs::path(music) / name);
        return music;
    }
    void setPlaylist(const QStringList& entries) {
        fMain().songs->clear();
        fMain().songs->addItems(entries);
    }
    // How many times the title was drawn where it belongs, as it was drawn.
    std::vector<std::string> titlesDrawn() const {
        std::vector<std::string> titles;
        for (const auto& text : drawnTexts(*backBuffer))
            if (text.x == 80 && text.y == 723) titles.push_back(text.text);
        return titles;
    }
};

TEST_F(PlaylistTest, ChoicesNeverRepeatThePreviousEntryAlsoAcrossGames) {
    tracksNamed({"Alpha", "Beta", "Gamma", "Delta"});
    setPlaylist({"Alpha", "Beta", "Gamma", "Delta"});
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
    clearDrawnTexts(*backBuffer);
    updateMusic();
    EXPECT_EQ(titlesDrawn(), std::vector<std::string>{"Only"});
    endTheGame();
}

TEST_F(PlaylistTest, AMissingTrackIsSkippedOnTheNextPassAndTheTitleDrawnEveryPass) {
    tracksNamed({"Present"});
    setPlaylist({"Absent", "Present"});  // sorted: Absent 0, Present 1
    musicVolume = 37;
    startGame();
    lastSongIndex = 1;  // so that the missing one is chosen first
    nextSong();
    EXPECT_EQ(nowPlaying, "Absent");
    EXPECT_EQ(musicStream, 0u);

    clearDrawnTexts(*backBuffer);
    updateMusic();  // the title of the missing track is shown, then the next one starts
    EXPECT_EQ(titlesDrawn(), std::vector<std::string>{"Absent"});
    EXPECT_EQ(nowPlaying, "Present");
    ASSERT_NE(musicStream, 0u);
    EXPECT_NE(BASS_ChannelIsActive(musicStream), 0);
    EXPECT_EQ(musicStreamVolume(musicStream), 37);

    const HSTREAM playing = musicStream;
    for (int pass = 0; pass < 3; ++pass) updateMusic();
    EXPECT_EQ(musicStream, playing);  // a playing track is left alone
    EXPECT_EQ(titlesDrawn(), (std::vector<std::string>{"Absent", "Present", "Present", "Present"}));
    endTheGame();
    EXPECT_EQ(BASS_ChannelIsActive(playing), 0);  // freed with the output
}

TEST_F(PlaylistTest, AVolumeOfZeroStartsTheTrackSilent) {
    tracksNamed({"Quiet"});
    setPlaylist({"Quiet"});
    startGame();
    for (int16_t volume : {0, 100}) {
        musicVolume = volume;
        nextSong();
        EXPECT_EQ(musicStreamVolume(musicStream), volume);
    }
    endTheGame();
}

// Opens of files in one folder, as the kernel reports them.
class OpenCounter {
public:
    explicit OpenCounter(const std::string& folder) : fd_(inotify_init1(IN_NONBLOCK)) {
        if (fd_ >= 0) inotify_add_watch(fd_, folder.c_str(), IN_OPEN);
    }
    ~OpenCounter() {
        if (fd_ >= 0) close(fd_);
    }
    OpenCounter(const OpenCounter&) = delete;
    OpenCounter& operator=(const OpenCounter&) = delete;
    bool works() const { return fd_ >= 0; }
    // The opens since the last call.
    int take() {
        int opens = 0;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t n; (n = read(fd_, buffer, sizeof buffer)) > 0;) {
            for (char* at = buffer; at < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->mask & IN_OPEN) ++opens;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return opens;
    }

private:
    int fd_;
};

TEST_F(PlaylistTest, BrokenTracksAreTriedOnceAGameAndTheGamePlaysOnSilent) {
    const std::string music = ownFolder("music", false);
    const std::vector<std::string> names{"One", "Two", "Three", "Four"};
    for (const auto& name : names) std::ofstream(music + "/" + name) << "not a music track at all";
    setPlaylist({"One", "Two", "Three", "Four"});
    OpenCounter opens(music);
    ASSERT_TRUE(opens.works());
    for (int game = 0; game < 2; ++game) {
        startGame();
        nextSong();
        for (int pass = 0; pass < 3; ++pass) updateMusic();
        const int firstOpens = opens.take();
        EXPECT_GE(firstOpens, 4) << "every track is tried in the game";
        EXPECT_LE(firstOpens, 8) << "once each";
        clearDrawnTexts(*backBuffer);
        for (int pass = 0; pass < 500; ++pass) updateMusic();
        EXPECT_EQ(opens.take(), 0) << "no broken track is opened again in the same game";
        EXPECT_EQ(musicStream, 0u);
        EXPECT_EQ(titlesDrawn().size(), 500u) << "the game plays on, the last title shown";
        endTheGame();
    }
}

TEST_F(PlaylistTest, ATitleIsAFileNameInTheMusicFolderOnly) {
    tracksNamed({"Caf\xE9 \x80"});
    fs::copy_file(fs::path(folder->path()) / "music" / builtInTracks[0], fs::path(folder->path()) / "escape");
    setPlaylist({"../escape", "..\\escape"});
    startGame();
    for (int i = 0; i < 4; ++i) {
        nextSong();
        EXPECT_EQ(musicStream, 0u) << nowPlaying;
    }
    // A title outside ASCII is the same Windows-1252 text as the file's name,
    // and is drawn as it is.
    setPlaylist({QString::fromUtf8("Caf\u00E9 \u20AC")});
    nextSong();
    EXPECT_EQ(nowPlaying, "Caf\xE9 \x80");
    EXPECT_NE(musicStream, 0u);
    clearDrawnTexts(*backBuffer);
    updateMusic();
    EXPECT_EQ(titlesDrawn(), std::vector<std::string>{"Caf\xE9 \x80"});
    endTheGame();
}

} // namespace
} // namespace pomlets::testing
