#include "app/run.h"

int main(int argc, char** argv) { return RunVelmor(argc, argv); }
