#include "media_fixture.h"

#include <SDL_mixer.h>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>

#include "device/register_map.h"
#include "log/logger.h"
#include "media/sdl_init.h"
#include "platform/platform.h"
#include "runtime/program_args.h"
#include "sim/sim.h"

namespace {

std::string Entry(const char* Prefix, const std::string& Message, const std::string& Location)
{
    return std::string(Prefix) + EntryTime + " MSG : " + Message + " IN : " + Location;
}

void PutLe(std::string& Out, std::uint32_t Value, int Bytes)
{
    for (int Index = 0; Index < Bytes; ++Index)
        Out += static_cast<char>((Value >> (8 * Index)) & 0xFF);
}

} // namespace

std::string Status(const std::string& Message, const std::string& Location)
{
    return Entry("STATUS INFO : @ ", Message, Location);
}

std::string Error(const std::string& Message, const std::string& Location)
{
    return Entry("*** ERROR *** : @ ", Message, Location);
}

void SetArguments(const std::vector<const char*>& Arguments)
{
    std::vector<char*> Values{const_cast<char*>("brimlet")};
    for (const char* Argument : Arguments)
        Values.push_back(const_cast<char*>(Argument));
    SetProgramArguments(static_cast<int>(Values.size()), Values.data());
}

void CloseSdl()
{
    while (Mix_QuerySpec(nullptr, nullptr, nullptr) != 0)
        Mix_CloseAudio();
    SDL_Quit();
}

bool WriteWav(const std::string& Path, int Rate, int Frames, std::int16_t Left, std::int16_t Right)
{
    const auto DataBytes = static_cast<std::uint32_t>(Frames) * 4;
    std::string Content = "RIFF";
    PutLe(Content, 36 + DataBytes, 4);
    Content += "WAVEfmt ";
    PutLe(Content, 16, 4);
    PutLe(Content, 1, 2);
    PutLe(Content, 2, 2);
    PutLe(Content, static_cast<std::uint32_t>(Rate), 4);
    PutLe(Content, static_cast<std::uint32_t>(Rate) * 4, 4);
    PutLe(Content, 4, 2);
    PutLe(Content, 16, 2);
    Content += "data";
    PutLe(Content, DataBytes, 4);
    for (int Frame = 0; Frame < Frames; ++Frame) {
        PutLe(Content, static_cast<std::uint16_t>(Left), 2);
        PutLe(Content, static_cast<std::uint16_t>(Right), 2);
    }
    return WriteFile(Path, Content);
}

void SetMixerArgument(std::uint32_t Argument)
{
    const int Handle = PlatformOpen("/dev/mixer", O_RDWR);
    ASSERT_GE(Handle, 0);
    std::int32_t Value = static_cast<std::int32_t>(Argument);
    EXPECT_GE(PlatformIoctl(Handle, SoundMixerWritePcm, &Value), 0);
    PlatformClose(Handle);
    EXPECT_EQ(SimMixerArgument(), Argument);
}

void MediaTest::SetUp()
{
    // SDL's dummy drivers unless the one who runs the tests chose others.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SimReset();
    SimSetFastMode(true);
    SetArguments({});
    SetLoggerClock([] {
        std::tm Time{};
        Time.tm_hour = 12;
        Time.tm_min = 34;
        Time.tm_sec = 56;
        return Time;
    });
    const std::string Executable = Temp.File("brimlet");
    SetLoggerExecutablePath([Executable] { return Executable; });
    LoggerInitialization();
    ASSERT_EQ(TakeEntries(), std::vector<std::string>{}) << "the start entry is not among the taken entries";
}

void MediaTest::TearDown()
{
    CloseSdl();
    LoggerFinalization();
    SetLoggerClock({});
    SetLoggerExecutablePath({});
    SetArguments({});
    SimReset();
}

std::vector<std::string> MediaTest::TakeEntries()
{
    const std::string Log = ReadFile(Temp.File("brimlet.log"));
    std::vector<std::string> Entries;
    std::size_t Start = 0;
    for (std::size_t End; (End = Log.find("\r\n\n", Start)) != std::string::npos; Start = End + 3)
        Entries.push_back(Log.substr(Start, End - Start));
    EXPECT_EQ(Start, Log.size()) << "the log ends inside an entry";
    EXPECT_FALSE(Entries.empty());
    if (!Entries.empty()) {
        EXPECT_EQ(Entries.front(), Status("Starting Application", "Initialization"));
    }
    // The logger's own start entry is left out.
    const std::size_t From = std::max<std::size_t>(EntriesTaken, 1);
    std::vector<std::string> Result;
    if (Entries.size() > From)
        Result.assign(Entries.begin() + static_cast<std::ptrdiff_t>(From), Entries.end());
    EntriesTaken = std::max(From, Entries.size());
    return Result;
}

std::string MediaTest::LongFileName(const std::string& Name, std::size_t MinLength)
{
    std::string Folder = Temp.Path();
    while (Folder.size() + 1 + Name.size() <= MinLength)
        Folder += "/" + std::string(100, 'd');
    std::filesystem::create_directories(Folder);
    return Folder + "/" + Name;
}

void StartedMediaTest::SetUp()
{
    MediaTest::SetUp();
    SimOverrideVideoInfo(0);
    Screen = InitSDL();
    ASSERT_NE(Screen, nullptr);
    TakeEntries();
}
