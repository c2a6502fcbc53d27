// tavik-launch: starts a program with a chosen show command, the way a shortcut set to "run minimised"
// would, waits for it and returns its exit code.
// Usage: tavik-launch.exe <show command> <program> [arguments...]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Quotes one argument by the rules CommandLineToArgvW and the C runtime read back.
std::string QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"')
            quoted.append(backslashes * 2 + 1, '\\');
        else
            quoted.append(backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tavik-launch <show command> <program> [arguments...]\n");
        return 2;
    }
    char* end = nullptr;
    long showCommand = std::strtol(argv[1], &end, 10);
    if (end == argv[1] || *end != '\0' || showCommand < 0 || showCommand > 11) {
        std::fprintf(stderr, "tavik-launch: bad show command '%s'\n", argv[1]);
        return 2;
    }

    std::string commandLine;
    for (int i = 2; i < argc; ++i) {
        if (i > 2) commandLine += ' ';
        commandLine += QuoteArgument(argv[i]);
    }

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "tavik-launch: cannot start %s (error %lu)\n", argv[2], GetLastError());
        return 2;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}
