#include "program.h"

#include "device/device_state.h"
#include "device/video.h"

void FreshDevice()
{
    SimReset();
    SimSetFastMode(true);
    DeviceInitialization();
}

TLines TakeAccesses()
{
    TLines Lines;
    for (const std::string& Line : SimTakeTrace())
        if (Line[0] == 'R' || Line[0] == 'W')
            Lines.push_back(Line);
    return Lines;
}

std::string Printed(const std::function<void()>& Body)
{
    testing::internal::CaptureStdout();
    Body();
    return testing::internal::GetCapturedStdout();
}

TLines NopAccesses(const std::string& Target)
{
    return {"R32 E0020034 00000000", "W32 E0020000 00000060", "W32 E0020004 " + Target,
            "W32 E002000C 00000100", "W32 E0020020 00000000", "W32 E002002C 00010008",
            "W32 E0020030 000007AA", "W32 E0020034 00000001", "R32 E0020034 00000000"};
}

void FixLogger(const std::string& Executable, int Hour, int Minute, int Second)
{
    std::tm Time{};
    Time.tm_hour = Hour;
    Time.tm_min = Minute;
    Time.tm_sec = Second;
    SetLoggerExecutablePath([Executable] { return Executable; });
    SetLoggerClock([Time] { return Time; });
}

void TVideoUp::SetUp()
{
    FreshDevice();
    bool Ready = false;
    Printed([&Ready] { Ready = InitVideo(320, 240, 16); });
    ASSERT_TRUE(Ready);
    SimTraceToMemory();
}
