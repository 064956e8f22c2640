// Entry point of the Windows GUI program; the CRT passes the result to ExitProcess.
#include "Launcher.h"

int main() { return RunLauncher(); }
