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
        ASSERT_TRUE(WriteWav(Song, 22050 * 30, 1000, -1000));
        ASSERT_TRUE(WriteWav(OtherSong, 22050 * 30, 2000, -2000));
    }

    void TearDown() override
    {
        FreeMusic(Handle);
        StartedMediaTest::TearDown();
    }

    static std::string Loaded(const std::string& File) { return Status("Music \"" + File + "\" loaded", "LoadMusic"); }

    const std::string Song = Temp.File("song.wav");
    const std::string OtherSong = Temp.File("other.wav");
    Mix_Music* Handle = nullptr;
};

// Playing while music plays is refused without an entry. Freeing asks only whether some music plays, so freeing
// another handle stops the playback too; a freed handle is not freed again.
TEST_F(MusicTest, LoadPlayFree)
{
    EXPECT_FALSE(PlayMusic(nullptr, 128, true, 0));
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{Error("music parameter was NULL", "PlayMusic")});

    Mix_Music* Other = nullptr;
    ASSERT_TRUE(LoadMusic(Song, Handle));
    ASSERT_TRUE(LoadMusic(OtherSong, Other));
    EXPECT_TRUE(PlayMusic(Handle, 255, true, 0));
    EXPECT_FALSE(PlayMusic(Handle, 20, false, 0));
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);
    EXPECT_EQ(TakeEntries(), (std::vector<std::string>{Loaded(Song), Loaded(OtherSong),
                                                        Status("Playing started", "PlayMusic")}));

    EXPECT_TRUE(FreeMusic(Other));
    EXPECT_EQ(Other, nullptr);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_FALSE(FreeMusic(Other));
    EXPECT_EQ(TakeEntries(), std::vector<std::string>{});
}

// A negative volume leaves SDL_mixer's alone; a fade-in starts playing at once.
TEST_F(MusicTest, VolumeAndFadeIn)
{
    ASSERT_TRUE(LoadMusic(Song, Handle));
    Mix_VolumeMusic(37);
    EXPECT_TRUE(PlayMusic(Handle, -1, false, 5000));
    EXPECT_EQ(Mix_VolumeMusic(-1), 37);
    EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_IN);
    Mix_HaltMusic();
    EXPECT_TRUE(PlayMusic(Handle, 0, false, 0));
    EXPECT_EQ(Mix_VolumeMusic(-1), 0);
    EXPECT_EQ(Mix_FadingMusic(), MIX_NO_FADING);
}

// Loading into a variable that holds a playing handle stops the music and frees that handle first; when the new
// file does not load, nothing is left: no handle and no music.
TEST_F(MusicTest, LoadingOverAPlayingHandle)
{
    const std::string Missing = Temp.File("missing.ogg");
    const std::string Junk = Temp.File("junk.ogg");
    ASSERT_TRUE(WriteFile(Junk, std::string(4096, 'j')));
    const struct {
        std::string File;
        std::string Entry;
    } Cases[] = {
        {OtherSong, Loaded(OtherSong)},
        {Missing, Error("Couldn't open '" + Missing + "'", "SDLMusic::LoadFromFile")},
        {Junk, Error("Not an Ogg Vorbis audio stream", "SDLMusic::LoadFromFile")},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.File);
        ASSERT_TRUE(LoadMusic(Song, Handle));
        ASSERT_TRUE(PlayMusic(Handle, 128, true, 0));
        TakeEntries();
        EXPECT_EQ(LoadMusic(Case.File, Handle), Case.File == OtherSong);
        EXPECT_EQ(Handle != nullptr, Case.File == OtherSong);
        EXPECT_EQ(Mix_PlayingMusic(), 0);
        EXPECT_EQ(TakeEntries(), std::vector<std::string>{Case.Entry});
    }
}

} // namespace
