// SPDX-License-Identifier: GPL-3.0-or-later
// The program: its options, then the main dialog from start until it is closed.
#include "app/Startup.h"

int main(int argc, char** argv) { return q60::runProgram(argc, argv); }
