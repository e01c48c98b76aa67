// Inputs, the blitter, the mixer and text drawing, as the simulated device's registers and pages saw them.

#include <algorithm>
#include <climits>

#include "device/blitter.h"
#include "device/inputs.h"
#include "device/mixer.h"
#include "device/page_flip.h"
#include "device/text.h"
#include "device/video.h"
#include "program.h"

namespace {

using Io = TVideoUp;

// Each button alone is one read of its register, and only its own code in its own question answers yes.
TEST_F(Io, EachButtonAnswersForItsOwnCodeInItsOwnRegister)
{
    const char* const Reads[] = {"C0001184 EFFF", "C0001184 DFFF", "C0001184 7FFF", "C0001184 BFFF", "C0001184 FDFF",
                                 "C0001184 FEFF", "C0001186 FFBF", "C0001186 FF7F", "C0001184 FBFF", "C0001184 F7FF"};
    for (int Held = 1; Held <= 10; ++Held) {
        const auto Button = static_cast<TSimInput>(static_cast<int>(TSimInput::B1) + Held - 1);
        const bool Extra = Held == 7 || Held == 8;
        SimSetInput(Button, true);
        TakeAccesses();
        EXPECT_TRUE(Extra ? ExtraButtonPressed(Held) : ButtonPressed(Held));
        EXPECT_EQ(TakeAccesses(), TLines{std::string("R16 ") + Reads[Held - 1]});
        for (int Code = 0; Code <= 11; ++Code) {
            EXPECT_EQ(ButtonPressed(Code), Code == Held && !Extra) << "held " << Held << ", asked " << Code;
            EXPECT_EQ(ExtraButtonPressed(Code), Code == Held && Extra) << "held " << Held << ", asked " << Code;
        }
        SimSetInput(Button, false);
    }
}

// Contacts are bits 0 to 7 from up round through left. A direction is its own contact alone or with one
// neighbour, or with diagonals a neighbour alone; every other combination holds none.
TEST_F(Io, DirectionsFollowTheRingRuleForEveryCombinationOfContacts)
{
    const std::pair<std::int32_t, int> Directions[] = {{20, 2}, {21, 0}, {22, 6}, {23, 4}}; // left, up, right, down
    for (int Ring = 0; Ring < 256; ++Ring) {
        for (int Bit = 0; Bit < 8; ++Bit)
            SimSetInput(static_cast<TSimInput>(static_cast<int>(TSimInput::Up) + Bit), (Ring >> Bit & 1) != 0);
        TakeAccesses();
        EXPECT_FALSE(DirectionPressed(24, false) || DirectionPressed(19, false) || DirectionPressed(1, false));
        char Read[32];
        std::snprintf(Read, sizeof Read, "R16 C0001198 %04X", 0xFF00 | (~Ring & 0xFF));
        ASSERT_EQ(TakeAccesses(), TLines{std::string(Read) + " x3"});
        for (const auto& [Code, Contact] : Directions) {
            const int Own = 1 << Contact;
            const int Next = 1 << (Contact + 1) % 8;
            const int Previous = 1 << (Contact + 7) % 8;
            const bool Straight = Ring == Own || Ring == (Own | Next) || Ring == (Own | Previous);
            EXPECT_EQ(DirectionPressed(Code, true), Straight) << Code << " ring " << Ring;
            EXPECT_EQ(DirectionPressed(Code, false), Straight || Ring == Next || Ring == Previous)
                << Code << " ring " << Ring;
        }
    }
}

// Values: destination address and control, source address, stride and control, size and operation; then the busy
// reads of the wait until the blitter is idle, as the trace folds them ("" for none).
TLines BlitAccesses(const std::string& Values, const std::string& Busy)
{
    const auto V = [&Values](int Index) { return Values.substr(Index * 9, 8); };
    const std::string W = "W32 E00200";
    TLines Lines = {"R32 E0020034 00000000", W + "04 " + V(0), W + "00 " + V(1),  W + "08 00000280",
                    W + "10 " + V(2),        W + "14 " + V(3), W + "20 00000000", W + "0C " + V(4),
                    W + "2C " + V(5),        W + "30 " + V(6), W + "34 00000001"};
    if (!Busy.empty())
        Lines.push_back("R32 E0020034 00000001" + Busy);
    Lines.push_back("R32 E0020034 00000000");
    return Lines;
}

// Between two waits, the second reading until the blitter is idle (a 320 x 240 copy is busy for eight reads); with
// page 0 shown, the copy and the no-op after it go to page 1.
TEST_F(Io, BlitProgramsTheBlitterBetweenTwoWaits)
{
    // Key: the colour key as 0xRRGGBB, none when 0. A negative odd SrcX leaves the odd-pixel bit clear and a width
    // from 65536 up spills into the height, as the device program has always had it.
    const struct {
        std::int32_t SrcX, SrcY, Width, Height, SrcPitch, DstX, DstY;
        std::uint32_t DstAddr, Key;
        const char *Values, *Busy;
    } Cases[] = {
        {0, 0, 320, 240, 1280, 0, 0, 0, 0, "03000000 00000020 02000000 00000500 000001A0 00F00140 000007CC", " x8"},
        {5, 2, 16, 8, 1000, 0, 0, 0, 0, "03000000 00000020 020007D8 000003E8 000001B0 00080010 000007CC", " x2"},
        {-3, 1, 16, 8, 1000, 0, 0, 0, 0, "03000000 00000020 020003E0 000003E8 000001A0 00080010 000007CC", " x2"},
        {0, 0, 16, 8, 1000, 3, 2, 0, 0, "03000504 00000030 02000000 000003E8 000001A0 00080010 000007CC", " x2"},
        {0, 0, 16, 8, 1000, 2, 1, 0x02100000, 0, "02100284 00000020 02000000 000003E8 000001A0 00080010 000007CC", " x2"},
        {0, 0, 320, 240, 640, 0, 0, 0, 0x804020, "03000000 00000020 02000000 00000280 000001A0 00F00140 82040FCC", " x8"},
        {0, 0, 320, 240, 640, 0, 0, 0, 0x0F070F, "03000000 00000020 02000000 00000280 000001A0 00F00140 08210FCC", " x8"},
        {0, 0, 0x10002, 2, 640, 0, 0, 0, 0, "03000000 00000020 02000000 00000280 000001A0 00030002 000007CC", ""},
    };
    for (const auto& C : Cases) {
        Blit(0x02000000, C.SrcX, C.SrcY, C.Width, C.Height, C.SrcPitch, C.DstAddr, C.DstX, C.DstY, C.Key != 0,
             static_cast<std::uint8_t>(C.Key >> 16), static_cast<std::uint8_t>(C.Key >> 8),
             static_cast<std::uint8_t>(C.Key), false);
        EXPECT_EQ(TakeAccesses(), BlitAccesses(C.Values, C.Busy)) << C.Values;
    }
    FlipVideoPage(false);
    TakeAccesses();
    Blit(0x02000000, 0, 0, 8, 1, 640, 0, 0, 0, false, 0, 0, 0, true);
    TLines Expected = BlitAccesses("03040000 00000020 02000000 00000280 000001A0 00010008 000007CC", "");
    const TLines Nop = NopAccesses("03040000");
    Expected.insert(Expected.end(), Nop.begin(), Nop.end());
    EXPECT_EQ(TakeAccesses(), Expected);
}

// Both channels get the level, left in bits 0-7 and right in bits 8-15, and the mixer is not kept open.
TEST(Mixer, SetsTheLevelOnBothChannels)
{
    FreshDevice();
    for (const auto& [Level, Argument] : {std::pair{128, 0x8080u}, {255, 0xFFFFu}, {100, 0x6464u}, {0x1FF, 0xFFFFu}}) {
        EXPECT_EQ(Printed([Level = Level] { SetVolume(static_cast<std::uint16_t>(Level)); }), "");
        EXPECT_EQ(SimMixerLevel(), Argument) << Level;
        EXPECT_EQ(SimOpenDeviceFiles(), 0);
    }
}

// Clipped at every edge, never on row 239, cut at a NUL or after 255 characters; the rows around the page untouched.
TEST_F(Io, DrawTextInksTheGlyphsClippedToTheScreen)
{
    const std::string Bars = "\x19\x02\x0F"; // a vertical line, a checkerboard and a crossing: ink on all 13 rows
    const struct { std::int32_t X, Y; std::string Text, Drawn; } Cases[] = {
        {0, 0, "Ag", "Ag"}, {318, 50, "AB", "AB"}, {-3, 50, "AB", "AB"}, {100, -5, Bars, Bars}, {100, 227, Bars, Bars},
        {100, 239, Bars, ""}, {10, 10, std::string("AB\0CD", 5), "AB"}, {INT_MIN, 0, Bars, ""}, {0, INT_MAX, Bars, ""},
        {0, INT_MIN, Bars, ""}, {INT_MAX - 100, 0, std::string(255, 'M'), ""},
        // Character 250 lands on column 0 and 255, the first one cut, would land on column 30.
        {-1500, 20, std::string(300, 'M'), std::string(255, 'M')},
    };
    auto* Rows = reinterpret_cast<std::uint16_t*>(SimPhysToHost(0x03000000 - 640, 242 * 640));
    for (const auto& Case : Cases) {
        std::fill(Rows, Rows + 242 * 320, 0);
        DrawText(Case.X, Case.Y, Case.Text, 0xF800);
        TFrame Expected(320 * 240);
        DrawExpectedText(Expected, Case.X, Case.Y, Case.Drawn);
        std::replace(Expected.begin(), Expected.end(), White, std::uint16_t{0xF800});
        Expected.insert(Expected.begin(), 320, 0);
        Expected.resize(242 * 320);
        const long First = std::mismatch(Expected.begin(), Expected.end(), Rows).first - Expected.begin();
        EXPECT_EQ(First, 242 * 320) << "text at (" << Case.X << ", " << Case.Y << ") differs first at (" << First % 320
                                    << ", " << First / 320 - 1 << ")";
    }
    CloseVideo();
    EXPECT_EQ(Printed([] { DrawText(0, 0, "A", 0xFFFF); }), "Video buffer not initialized\n");
}

} // namespace
