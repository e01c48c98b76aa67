#pragma once
// The hardware blitter. Every operation is synchronous: it waits for idle, programs, starts and waits again.

#include <cstdint>

void WaitBlitter();
std::uint16_t PackRGB565(std::int32_t Red, std::int32_t Green, std::int32_t Blue);
void NopBlit();
void Blit(std::uint32_t SrcAddr, std::int32_t SrcX, std::int32_t SrcY, std::int32_t Width, std::int32_t Height,
          std::int32_t SrcPitch, std::uint32_t DstAddr, std::int32_t DstX, std::int32_t DstY, bool UseColorKey,
          std::uint8_t KeyRed, std::uint8_t KeyGreen, std::uint8_t KeyBlue, bool NopAfter);
