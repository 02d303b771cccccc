// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program from its command line to its exit status.

namespace q60 {

// Reads the options, moves to the working directory, claims it for this instance and
// runs the main dialog; the end signals close the window as its close box does.
int runProgram(int argc, char* const* argv);

}  // namespace q60
