#pragma once
// A fresh simulated device, a log file in a temporary folder and a closed SDL for every media test, with helpers
// that read back the log entries and make the files the tests load.

#include <gtest/gtest.h>

#include <SDL.h>
#include <cstdint>
#include <string>
#include <vector>

#include "support/test_support.h"

// An entry without its CR LF LF, at the tests' fixed time: "STATUS INFO : @ 12:34:56 MSG : Done IN : InitSDL".
std::string Status(const std::string& Message, const std::string& Location);
std::string Error(const std::string& Message, const std::string& Location);

// Value as Bytes bytes, least significant first.
std::string Le(std::uint32_t Value, int Bytes);
// The 44-byte header of a 16-bit stereo PCM WAV file at 22050 Hz holding DataBytes of samples.
std::string WavHeader(std::uint32_t DataBytes);
// Such a WAV file of Frames frames, every frame (Left, Right).
bool WriteWav(const std::string& Path, int Frames, std::int16_t Left, std::int16_t Right);

// The program's command line: the program's name followed by Arguments.
void SetArguments(const std::vector<const char*>& Arguments);
// Closes every open of the audio device, then SDL itself, so that SDL can start afresh.
void CloseSdl();
// Writes the mixer's PCM level through the seam with a raw argument (left bits 0-7, right bits 8-15).
void SetMixerArgument(std::uint32_t Argument);

class MediaTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The entries written since the last call; the logger's start entry is never among them.
    std::vector<std::string> TakeEntries();

    TTempDir Temp;

private:
    std::size_t EntriesTaken = 1;
};

// A test that starts SDL with InitSDL (video information without hardware flags, no argument) before its body.
class StartedMediaTest : public MediaTest {
protected:
    void SetUp() override;
};
