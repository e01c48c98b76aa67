// The simulated blitter's engine with any register values, against a model of the blitter written here from the
// hardware's description. Input: eight little-endian words (DstCtrl, DstAddr, DstStride, SrcCtrl, SrcAddr, SrcStride,
// Size, Op), then bytes put into RAM at both addresses. RAM has an inaccessible page on either side and
// AddressSanitizer watches the rest of the host, so a stray pixel ends the run.

#include "sim/model/blit_engine.h"
#include "sim/control.h"
#include "sim/probes.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    std::uint32_t R[8];
    if (Size < sizeof R)
        return 0;
    std::memcpy(R, Data, sizeof R);
    // At most 2048 pixel positions, so that an input takes about a millisecond: the height is lowered to fit.
    if ((R[6] & 0xFFFF) * std::uint64_t{R[6] >> 16} > 2048)
        R[6] = (R[6] & 0xFFFF) | (2048 / (R[6] & 0xFFFF)) << 16;
    SimReset();
    for (std::uint32_t Address : {R[1], R[4]})
        if (Address < 0x04000000)
            std::memcpy(SimPhysToHost(Address, 1), Data + sizeof R,
                        std::min<std::size_t>(Size - sizeof R, 0x04000000 - Address));

    // The model, pixel by pixel over RAM as it is now: each side starts at its 32-bit word, one pixel on with the
    // odd-pixel bit; a position is left out when a pixel it needs is not wholly in RAM; where the source is the key
    // the destination stays; a plain copy moves each row as through a buffer.
    std::map<std::int64_t, std::uint8_t> Written;
    auto Byte = [&Written](std::int64_t At) {
        auto Found = Written.find(At);
        return Found != Written.end() ? Found->second : *SimPhysToHost(static_cast<std::uint32_t>(At), 1);
    };
    auto Store = [&Written](std::int64_t At, unsigned Value) {
        Written[At] = static_cast<std::uint8_t>(Value);
        Written[At + 1] = static_cast<std::uint8_t>(Value >> 8);
    };
    auto InRam = [](std::int64_t At) { return At >= 0 && At + 2 <= 0x04000000; };
    const unsigned Rop = R[7] & 0xFF;
    const bool Keyed = (R[7] & 0x800) != 0, ReadsSource = Keyed || ((Rop ^ Rop >> 2) & 3) != 0;
    const std::int64_t Dst = std::int64_t{R[1] & ~3u} + ((R[0] & 0x10) != 0 ? 2 : 0);
    const std::int64_t Src = std::int64_t{R[4] & ~3u} + ((R[3] & 0x10) != 0 ? 2 : 0);
    std::uint64_t Skipped = 0;
    for (std::int64_t Row = 0; Row < R[6] >> 16; ++Row) {
        std::vector<std::pair<std::int64_t, unsigned>> Buffered;
        for (std::int64_t X = 0; X < (R[6] & 0xFFFF); ++X) {
            const std::int64_t D = Dst + Row * std::int32_t(R[2]) + 2 * X, S = Src + Row * std::int32_t(R[5]) + 2 * X;
            if (!InRam(D) || (ReadsSource && !InRam(S))) {
                ++Skipped;
                continue;
            }
            const unsigned Source = ReadsSource ? Byte(S) | Byte(S + 1) << 8 : 0, Dest = Byte(D) | Byte(D + 1) << 8;
            if (Keyed && Source == R[7] >> 16)
                continue;
            unsigned Result = 0;
            for (unsigned Bit = 0; Bit < 16; ++Bit)
                Result |= (Rop >> ((Source >> Bit & 1) * 2 + (Dest >> Bit & 1)) & 1) << Bit;
            Buffered.emplace_back(D, Result);
            if (Rop != 0xCC || Keyed)
                Store(D, Result);
        }
        for (const auto& [At, Value] : Buffered)
            Store(At, Value);
    }

    const TBlitOperation Operation = {R[1], R[0], std::int32_t(R[2]), R[4], R[3], std::int32_t(R[5]), R[6], R[7]};
    if (RunBlitOperation(Operation, 0, BlitRows(Operation)).Skipped != Skipped)
        __builtin_trap();
    for (const auto& [At, Value] : Written)
        if (*SimPhysToHost(static_cast<std::uint32_t>(At), 1) != Value)
            __builtin_trap();
    return 0;
}
