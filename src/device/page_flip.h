#pragma once
// Which page the display shows, and the wait for vertical sync.

#include <cstdint>

void ShowVideoPage(std::int32_t Page);
void FlipVideoPage(bool WaitVSync);
