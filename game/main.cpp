#include "app/run.h"
#include "game/velmor_levels.h"

#if defined(__SANITIZE_ADDRESS__)
// Much of the game lives until the process exits, by design: levels free
// only the entities that have left play. Leak reports for the rest would
// only hide real faults.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
#endif

int main(int argc, char** argv) { return RunGame(argc, argv, VelmorGame()); }
