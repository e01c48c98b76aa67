#include "app/run_frame.h"

#include <csignal>
#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "device/device_state.h"
#include "log/logger.h"
#include "runtime/console.h"
#include "runtime/errors.h"
#include "runtime/hex.h"
#include "runtime/program_args.h"

namespace {

// The class name of the object being handled, as the source names it where the runtime can tell.
std::string HandledClassName()
{
    const std::type_info* Type = abi::__cxa_current_exception_type();
    if (Type == nullptr)
        return "?";
    int Status = 0;
    const std::unique_ptr<char, void (*)(void*)> Name(abi::__cxa_demangle(Type->name(), nullptr, nullptr, &Status),
                                                      std::free);
    return Status == 0 && Name ? Name.get() : Type->name();
}

// Reports the error being handled on standard output: the raising site, the class and message, the frames and an
// empty line. Addresses are offsets in the executable less one, so that addr2line names the line of each call
// rather than the one after it. Called only inside a handler.
void ReportHandledError()
{
    std::string Description;
    std::vector<std::uintptr_t> Frames;
    try {
        throw;
    } catch (const Exception& Error) {
        Description = std::string(Error.ClassName()) + " : " + Error.Message;
        Frames = Error.Frames;
    } catch (...) {
        Description = "Exception object " + HandledClassName() + " is not of class Exception.";
        // Where a foreign object was raised is not known: the place where the frame handles it stands in, taken
        // the way an Exception takes its own.
        Frames = Exception("").Frames;
    }
    std::vector<std::uintptr_t> CallSites;
    for (const std::uintptr_t Frame : Frames)
        CallSites.push_back(Frame - 1);
    // Without a frame in the executable the place is unknown; the report still has its location line.
    if (CallSites.empty())
        CallSites.push_back(0);

    std::vector<std::string> Lines;
    Lines.push_back("An unhandled exception occurred at $" + Hex(CallSites.front(), 8) + " :");
    Lines.push_back(Description);
    for (const std::uintptr_t Site : CallSites)
        Lines.push_back("  $" + Hex(Site, 16));
    Lines.push_back("");
    try {
        for (const std::string& Line : Lines)
            WriteLine(Line);
    } catch (...) {
        // Standard output cannot take the report: the exit status is all that is left to tell of the error.
    }
}

} // namespace

int RunApplication(int ArgumentCount, char** Arguments, void (*MainProgram)())
{
    SetProgramArguments(ArgumentCount, Arguments);
    // A closed pipe on standard output is then a failed write that takes the error path, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);

    try {
        DeviceInitialization();
        LoggerInitialization();
    } catch (...) {
        ReportHandledError();
        return ExitStartupFailed;
    }

    int Status = ExitOrdinary;
    try {
        MainProgram();
    } catch (...) {
        ReportHandledError();
        Status = ExitUnhandledError;
    }
    try {
        LoggerFinalization();
    } catch (...) {
        ReportHandledError();
        Status = ExitUnhandledError;
    }
    return Status;
}
