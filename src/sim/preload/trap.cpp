#include "sim/preload/trap.h"

#include "platform/platform.h"
#include "sim/control.h"
#include "sim/launcher/messages.h"
#include "sim/launcher/output_list.h"
#include "sim/preload/arm_decoder.h"
#include "sim/seam/sim_platform.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ucontext.h>
#include <unistd.h>

namespace {

constexpr int UndecodableStatus = 3;

// The saved registers r0 to r15 and then CPSR stand one after the other in the signal's context.
unsigned long* SavedRegisters(void* Context)
{
    return &static_cast<ucontext_t*>(Context)->uc_mcontext.arm_r0;
}

[[noreturn]] void Refuse(const TCpuState& Cpu, const std::uint8_t* Code, const char* Why)
{
    char Text[160];
    std::snprintf(Text, sizeof Text, "the instruction %s at %08X (%s) %s: the run ends here",
                  InstructionText(Cpu, Code).c_str(), static_cast<unsigned>(Cpu.R[15]),
                  (Cpu.Cpsr & CpsrThumb) != 0 ? "Thumb" : "ARM", Why);
    Say(Text);
    EndRunNow(UndecodableStatus);
}

std::uint32_t CarryOut(const TDecodedAccess& Access, std::uint32_t Stored)
{
    const auto Address = static_cast<std::uintptr_t>(Access.Address);
    if (Access.Width == 16) {
        auto* Register = reinterpret_cast<volatile std::uint16_t*>(Address);
        if (!Access.Store)
            return PlatformLoad16(Register);
        PlatformStore16(Register, static_cast<std::uint16_t>(Stored));
    } else {
        auto* Register = reinterpret_cast<volatile std::uint32_t*>(Address);
        if (!Access.Store)
            return PlatformLoad32(Register);
        PlatformStore32(Register, Stored);
    }
    return 0;
}

void OnFault(int, siginfo_t* Info, void* Context)
{
    if (!IsDeviceRegisterAddress(Info->si_addr)) {
        // Not the device's: the instruction runs again without the handler and ends the process as it would have.
        std::signal(SIGSEGV, SIG_DFL);
        return;
    }
    unsigned long* Saved = SavedRegisters(Context);
    TCpuState Cpu;
    for (unsigned Index = 0; Index < 16; ++Index)
        Cpu.R[Index] = static_cast<std::uint32_t>(Saved[Index]);
    Cpu.Cpsr = static_cast<std::uint32_t>(Saved[16]);
    const auto* Code = reinterpret_cast<const std::uint8_t*>(static_cast<std::uintptr_t>(Cpu.R[15]));
    TDecodedAccess Access;
    if (!DecodeAccess(Cpu, Code, Access))
        Refuse(Cpu, Code, "is no 16- or 32-bit load or store that the device library carries out");
    if (Access.Address != reinterpret_cast<std::uintptr_t>(Info->si_addr))
        Refuse(Cpu, Code, "accesses another address than the one that trapped");
    CompleteAccess(Cpu, Access, CarryOut(Access, Cpu.R[Access.Rt]));
    std::copy(Cpu.R, Cpu.R + 16, Saved);
    Saved[16] = Cpu.Cpsr;
}

} // namespace

void TrapRegisterAccesses()
{
    struct sigaction Action {};
    Action.sa_sigaction = OnFault;
    Action.sa_flags = SA_SIGINFO;
    sigemptyset(&Action.sa_mask);
    sigaction(SIGSEGV, &Action, nullptr);
}
