// The launcher's parts are built into its executable only, so the tests compile those they drive themselves, each
// in a translation unit of its own as in the launcher.
#include "sim/launcher/script_player.cpp"
