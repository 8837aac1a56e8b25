// velmor's program: parse the command line, set up the platform, play.
#pragma once

int RunVelmor(int argc, const char* const* argv);
