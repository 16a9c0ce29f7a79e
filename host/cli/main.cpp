#include "host/cli/commands.h"

int main(int argc, char** argv) { return quillet::host::RunCommandLine(argc, argv); }
