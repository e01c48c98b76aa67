// Tests run SDL on its dummy drivers: there is no display and no sound device where they run. A value the user set
// stays, so a test can still be watched on a real display. This runs before any test, in every test executable.
#include <cstdlib>

namespace {
const bool DummyDriversSet = [] {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return true;
}();
}
