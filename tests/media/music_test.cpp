#include "media_fixture.h"

#include <SDL_mixer.h>

#include "media/music.h"

namespace {

class MusicTest : public StartedMediaTest {
protected:
    void SetUp() override
    {
        StartedMediaTest::SetUp();
        // Long enough to keep playing through every test.
        ASSERT_TRUE(WriteWav(Song, 22050, 22050 * 30, 1000, -1000));
        ASSERT_TRUE(WriteWav(OtherSong, 22050, 22050 * 30, 2000, -2000));
    }

    void TearDown() override
    {
        FreeMusic(Handle);
        StartedMediaTest::TearDown();
    }

    std::string Loaded(const std::string& File) { return Status("Music \"" + File + "\" loaded", "LoadMusic"); }

    const std::string Song = Temp.File("song.wav");
    const std::string OtherSong = Temp.File("other.wav");
    Mix_Music* Handle = nullptr;
};

TEST_F(MusicTest, LoadPlayFree)
{
    ASSERT_TRUE(LoadMusic(Song, Handle));
    EXPECT_NE(Handle, nullptr);
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{Loaded(Song)});

    EXPECT_TRUE(PlayMusic(Handle, 255, true, 0));
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    // 255 plays at SDL_mixer's full volume.
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{Status("Playing started", "PlayMusic")});

    EXPECT_TRUE(FreeMusic(Handle));
    EXPECT_EQ(Handle, nullptr);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_FALSE(FreeMusic(Handle));
    EXPECT_EQ(Handle, nullptr);
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{});
}

TEST_F(MusicTest, FilesThatDoNotLoad)
{
    const std::string Missing = Temp.File("missing.ogg");
    const std::string Junk = Temp.File("junk.ogg");
    ASSERT_TRUE(WriteFile(Junk, std::string(4096, 'j')));
    const std::pair<std::string, std::string> Cases[] = {
        {Missing, "Couldn't open '" + Missing + "'"},
        {Junk, "Not an Ogg Vorbis audio stream"},
    };
    for (const auto& Case : Cases) {
        EXPECT_FALSE(LoadMusic(Case.first, Handle)) << Case.first;
        EXPECT_EQ(Handle, nullptr);
        EXPECT_EQ(TakeEntries(), std::vector<std::string>{Error(Case.second, "SDLMusic::LoadFromFile")});
    }
}

TEST_F(MusicTest, PlayingTwiceLeavesTheFirstPlaybackAlone)
{
    ASSERT_TRUE(LoadMusic(Song, Handle));
    ASSERT_TRUE(PlayMusic(Handle, 100, true, 0));
    TakeEntries();
    EXPECT_FALSE(PlayMusic(Handle, 20, false, 0));
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    EXPECT_EQ(Mix_VolumeMusic(-1), 100);
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{});
}

TEST_F(MusicTest, NegativeVolumeLeavesTheVolumeAlone)
{
    ASSERT_TRUE(LoadMusic(Song, Handle));
    Mix_VolumeMusic(37);
    EXPECT_TRUE(PlayMusic(Handle, -1, false, 0));
    EXPECT_EQ(Mix_VolumeMusic(-1), 37);
    EXPECT_TRUE(FreeMusic(Handle));
    ASSERT_TRUE(LoadMusic(Song, Handle));
    EXPECT_TRUE(PlayMusic(Handle, 0, false, 0));
    EXPECT_EQ(Mix_VolumeMusic(-1), 0);
}

TEST_F(MusicTest, FadeInStartsPlaying)
{
    ASSERT_TRUE(LoadMusic(Song, Handle));
    TakeEntries();
    EXPECT_TRUE(PlayMusic(Handle, 128, true, 5000));
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_IN);
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{Status("Playing started", "PlayMusic")});
}

// SDL_mixer refuses to play no music at all; the refusal is logged with SDL's text.
TEST_F(MusicTest, PlayFailureIsLogged)
{
    EXPECT_FALSE(PlayMusic(nullptr, 128, true, 0));
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{Error("music parameter was NULL", "PlayMusic")});
}

// Loading into a variable that holds a playing handle stops the music and frees that handle first.
TEST_F(MusicTest, LoadingOverAPlayingHandle)
{
    ASSERT_TRUE(LoadMusic(Song, Handle));
    ASSERT_TRUE(PlayMusic(Handle, 128, true, 0));
    TakeEntries();

    ASSERT_TRUE(LoadMusic(OtherSong, Handle));
    EXPECT_NE(Handle, nullptr);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{Loaded(OtherSong)});
    EXPECT_TRUE(PlayMusic(Handle, 128, true, 0));
    TakeEntries();

    // When the new file does not load, nothing is left: no handle and no music.
    EXPECT_FALSE(LoadMusic(Temp.File("missing.wav"), Handle));
    EXPECT_EQ(Handle, nullptr);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{Error("Couldn't open '" + Temp.File("missing.wav") + "'",
                                                            "SDLMusic::LoadFromFile")});
}

// Freeing asks only whether some music plays: another handle's playback stops too.
TEST_F(MusicTest, FreeingHaltsWhateverPlays)
{
    Mix_Music* Other = nullptr;
    ASSERT_TRUE(LoadMusic(Song, Handle));
    ASSERT_TRUE(LoadMusic(OtherSong, Other));
    ASSERT_TRUE(PlayMusic(Other, 128, true, 0));
    EXPECT_TRUE(FreeMusic(Handle));
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_TRUE(FreeMusic(Other));
}

// The whole name reaches SDL_mixer, however long it is.
TEST_F(MusicTest, LongFileNameLoads)
{
    const std::string Long = LongFileName("song.wav", 600);
    ASSERT_GT(Long.size(), 512u);
    ASSERT_TRUE(WriteWav(Long, 22050, 100, 1, 1));
    EXPECT_TRUE(LoadMusic(Long, Handle));
    EXPECT_NE(Handle, nullptr);
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{Loaded(Long)});
}

} // namespace
