#pragma once
// A fresh simulated device, a real log file in a temporary folder and a closed SDL for every media test, with
// helpers that read back the log entries and make the media files the tests load.

#include <gtest/gtest.h>

#include <SDL.h>
#include <cstdint>
#include <string>
#include <vector>

#include "support/test_support.h"

// The time every entry of these tests carries.
constexpr const char* EntryTime = "12:34:56";

// The entry as one line without its CR LF LF: "STATUS INFO : @ 12:34:56 MSG : Done IN : InitSDL".
std::string Status(const std::string& Message, const std::string& Location);
std::string Error(const std::string& Message, const std::string& Location);

// The program's command line: the program's name followed by Arguments.
void SetArguments(const std::vector<const char*>& Arguments);

// Closes SDL as a whole (every open of the audio device, then SDL itself), so that the next test starts afresh.
void CloseSdl();

// A 16-bit stereo PCM WAV file of Frames frames, every frame (Left, Right).
bool WriteWav(const std::string& Path, int Rate, int Frames, std::int16_t Left, std::int16_t Right);

// Raises the mixer's PCM level through the seam with a raw argument (left bits 0-7, right bits 8-15).
void SetMixerArgument(std::uint32_t Argument);

class MediaTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The entries written since the last call (the logger's own start entry is never among them).
    std::vector<std::string> TakeEntries();
    // A name of a new file in a folder nested deep enough that the file's full name is longer than MinLength.
    std::string LongFileName(const std::string& Name, std::size_t MinLength);

    TTempDir Temp;

private:
    std::size_t EntriesTaken = 0;
};

// A test that starts SDL with InitSDL (video information without hardware flags, no argument) before its body.
class StartedMediaTest : public MediaTest {
protected:
    void SetUp() override;

    SDL_Surface* Screen = nullptr;
};
