#include "app/run.h"

#if defined(__SANITIZE_ADDRESS__)
// The game frees nothing while it runs: its objects live until the process
// exits, by design. Leak reports for them would only hide real faults.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
#endif

int main(int argc, char** argv) { return RunVelmor(argc, argv); }
