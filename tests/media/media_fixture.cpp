#include "media_fixture.h"

#include <SDL_mixer.h>
#include <fcntl.h>

#include "device/register_map.h"
#include "log/logger.h"
#include "media/sdl_init.h"
#include "platform/platform.h"
#include "runtime/program_args.h"
#include "sim/sim.h"

std::string Status(const std::string& Message, const std::string& Location)
{
    return "STATUS INFO : @ 12:34:56 MSG : " + Message + " IN : " + Location;
}

std::string Error(const std::string& Message, const std::string& Location)
{
    return "*** ERROR *** : @ 12:34:56 MSG : " + Message + " IN : " + Location;
}

std::string Le(std::uint32_t Value, int Bytes)
{
    std::string Out;
    for (int Index = 0; Index < Bytes; ++Index)
        Out += static_cast<char>((Value >> (8 * Index)) & 0xFF);
    return Out;
}

std::string WavHeader(std::uint32_t DataBytes)
{
    return "RIFF" + Le(36 + DataBytes, 4) + "WAVEfmt " + Le(16, 4) + Le(1, 2) + Le(2, 2) + Le(22050, 4) +
           Le(22050 * 4, 4) + Le(4, 2) + Le(16, 2) + "data" + Le(DataBytes, 4);
}

bool WriteWav(const std::string& Path, int Frames, std::int16_t Left, std::int16_t Right)
{
    std::string Content = WavHeader(static_cast<std::uint32_t>(Frames) * 4);
    const std::string Frame = Le(static_cast<std::uint16_t>(Left), 2) + Le(static_cast<std::uint16_t>(Right), 2);
    for (int Index = 0; Index < Frames; ++Index)
        Content += Frame;
    return WriteFile(Path, Content);
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

void SetMixerArgument(std::uint32_t Argument)
{
    const int Handle = PlatformOpen("/dev/mixer", O_RDWR);
    ASSERT_GE(Handle, 0);
    std::int32_t Value = static_cast<std::int32_t>(Argument);
    EXPECT_GE(PlatformIoctl(Handle, SoundMixerWritePcm, &Value), 0);
    PlatformClose(Handle);
}

void MediaTest::SetUp()
{
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
}

void MediaTest::TearDown()
{
    CloseSdl();
    LoggerFinalization();
    SetLoggerClock({});
    SetLoggerExecutablePath({});
}

std::vector<std::string> MediaTest::TakeEntries()
{
    const std::string Log = ReadFile(Temp.File("brimlet.log"));
    std::vector<std::string> Entries;
    for (std::size_t Start = 0, End; (End = Log.find("\r\n\n", Start)) != std::string::npos; Start = End + 3)
        Entries.push_back(Log.substr(Start, End - Start));
    const std::size_t From = std::min(EntriesTaken, Entries.size());
    EntriesTaken = Entries.size();
    return {Entries.begin() + static_cast<std::ptrdiff_t>(From), Entries.end()};
}

void StartedMediaTest::SetUp()
{
    MediaTest::SetUp();
    SimOverrideVideoInfo(0);
    ASSERT_NE(InitSDL(), nullptr);
    TakeEntries();
}
