#pragma once

// The program: with no argument it installs; with any argument it prints the help text and installs
// nothing. Returns the exit status.
int installer_main(int argc, char** argv);
