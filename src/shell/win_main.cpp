#include <windows.h>

#include "shell/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return tavik::shell::RunProgram(instance, showCommand);
}
