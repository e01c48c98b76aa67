#pragma once
// A guarded scope: the clean-up runs however the body is left. A raised error passes on after the clean-up, so the
// run frame still reports it; an error raised by the clean-up itself replaces it, as it would after any clean-up.

#include <utility>

template <typename TBody, typename TCleanUp>
void RunGuarded(TBody&& Body, TCleanUp&& CleanUp)
{
    try {
        std::forward<TBody>(Body)();
    } catch (...) {
        CleanUp();
        throw;
    }
    CleanUp();
}
