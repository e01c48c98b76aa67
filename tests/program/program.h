#pragma once
// What the program's tests share: a fresh simulated device, the register accesses it saw as the trace writes them,
// what the program printed, and the logger's time and place.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "log/logger.h"
#include "sim/control.h"
#include "sim/seam/device_files.h"
#include "sim/probes.h"
#include "support/support.h"

// A fresh simulated device without modelled time, and the device layer as the run frame starts it.
void FreshDevice();
// The register accesses traced since the last call: "W16 C00028DA 04AB", "R32 E0020034 00000000 x2".
TLines TakeAccesses();
std::string Printed(const std::function<void()>& Body);
// NopBlit's accesses on the page at Target, between its two waits for the idle blitter.
TLines NopAccesses(const std::string& Target);
// The logger's sources: the executable at Executable and every entry at Hour:Minute:Second.
void FixLogger(const std::string& Executable, int Hour, int Minute, int Second);

// Video set up on a fresh device, as while the program runs, and accesses recorded from there.
class TVideoUp : public testing::Test {
protected:
    void SetUp() override;
};
