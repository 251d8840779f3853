#include "supervision/exiting_program_test.h"

ExitProgram ExitingWith(const testing_support::ScratchDir&, int code) {
    return {"cmd", "cmd /c echo hello&exit " + std::to_string(code)};
}
