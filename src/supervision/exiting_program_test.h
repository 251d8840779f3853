// A child program for the supervision tests, made from what each system brings along.
#ifndef SUPERVISION_EXITING_PROGRAM_TEST_H
#define SUPERVISION_EXITING_PROGRAM_TEST_H

#include <string>

#include "support/scratch_dir.h"

// A program that writes a line and ends with the given code, as a program path and an
// argument text whose first token stands for the program.
struct ExitProgram {
    std::string program;
    std::string arguments;
};

ExitProgram ExitingWith(const testing_support::ScratchDir& dir, int code);

#endif
