#include "supervision/exiting_program_test.h"

ExitProgram ExitingWith(const testing_support::ScratchDir& dir, int code) {
    const std::string name = "exit" + std::to_string(code) + ".sh";
    dir.Write(name, "echo hello\nexit " + std::to_string(code) + "\n");
    return {"sh", "sh " + dir.File(name)};
}
