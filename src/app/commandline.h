#pragma once
// Jobs run from the command line without the operator's windows.

namespace quoteria {

// Runs the job named by the arguments and returns its exit code, or -1 when the
// arguments name no command-line job (the program then starts normally).
int runCommandLine(int argc, char** argv);

// True when a window system is reachable (or a platform was chosen explicitly).
bool displayAvailable();

} // namespace quoteria
