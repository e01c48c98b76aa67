#include <cerrno>
#include <stdexcept>

#include <gtest/gtest.h>

#include "runtime/errors.h"
#include "support/test_support.h"

// The raising functions have external linkage and stay out of line, so that the recorded frames can be checked
// against their names; the work after the call keeps the caller's frame on the stack.
namespace ErrorRaisers {

volatile int Calls = 0;

enum class TKind { Plain, InOut, Raised, Convert };

// The lines of the raising statements below.
const int RaiseLines[] = {__LINE__ + 7, __LINE__ + 9, __LINE__ + 11, __LINE__ + 15};

__attribute__((noinline)) void RaiseHere(TKind Kind)
{
    ++Calls;
    switch (Kind) {
    case TKind::Plain:
        throw Exception("plain");
    case TKind::InOut:
        throw EInOutError("in-out", EIO);
    case TKind::Raised:
        RaiseInOutError(ENOSPC);
    case TKind::Convert:
        break;
    }
    throw EConvertError("\"x\" is an invalid integer");
}

__attribute__((noinline)) void CallRaiser(TKind Kind)
{
    RaiseHere(Kind);
    ++Calls;
}

}

namespace {

using ErrorRaisers::TKind;

__attribute__((noinline)) std::vector<std::uintptr_t> FramesOf(TKind Kind)
{
    try {
        ErrorRaisers::CallRaiser(Kind);
    } catch (const Exception& Error) {
        return Error.Frames;
    }
    ADD_FAILURE() << "nothing raised";
    return {};
}

TEST(ErrorClasses, RecordTheRaisingSiteAndItsCallers)
{
    // Whichever constructor or helper raises, the first frame is the raising statement, not the error machinery,
    // and the frames go on outwards through the callers. Less one, each return address names its call.
    for (const TKind Kind : {TKind::Plain, TKind::InOut, TKind::Raised, TKind::Convert}) {
        SCOPED_TRACE(static_cast<int>(Kind));
        const std::vector<std::uintptr_t> Frames = FramesOf(Kind);
        ASSERT_GE(Frames.size(), 3u);
        const std::vector<TCodePlace> Places = ResolveCode({Frames[0] - 1, Frames[1] - 1, Frames[2] - 1});
        ASSERT_EQ(Places.size(), 3u) << "addr2line failed";
        if (Places[0].File == "??")
            GTEST_SKIP() << "built without debug information";
        EXPECT_EQ(Places[0].Function, "ErrorRaisers::RaiseHere(ErrorRaisers::TKind)");
        EXPECT_EQ(Places[0].File, "errors_test.cpp");
        EXPECT_EQ(Places[0].Line, ErrorRaisers::RaiseLines[static_cast<int>(Kind)]);
        EXPECT_EQ(Places[1].Function, "ErrorRaisers::CallRaiser(ErrorRaisers::TKind)");
        EXPECT_EQ(Places[2].Function, "(anonymous namespace)::FramesOf(ErrorRaisers::TKind)");
    }
}

}
