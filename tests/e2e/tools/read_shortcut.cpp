// read-shortcut: prints what a shell link holds, read back through the shell-link object, so the
// end-to-end tests can check a shortcut the way the shell sees it.
//   read-shortcut <file.lnk>
// Output, one line each: path=..., workdir=..., description=..., showcmd=N. Exit code 1 when the
// file cannot be loaded.

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>

namespace {

int PrintShortcut(IShellLinkA* link) {
    char text[MAX_PATH * 4] = {};
    if (FAILED(link->GetPath(text, sizeof(text), nullptr, SLGP_RAWPATH))) {
        text[0] = '\0';
    }
    std::printf("path=%s\n", text);
    text[0] = '\0';
    if (FAILED(link->GetWorkingDirectory(text, sizeof(text)))) {
        text[0] = '\0';
    }
    std::printf("workdir=%s\n", text);
    text[0] = '\0';
    if (FAILED(link->GetDescription(text, sizeof(text)))) {
        text[0] = '\0';
    }
    std::printf("description=%s\n", text);
    int showCommand = -1;
    link->GetShowCmd(&showCommand);
    std::printf("showcmd=%d\n", showCommand);
    return 0;
}

int ReadShortcut(const char* file) {
    WCHAR widePath[MAX_PATH * 4] = {};
    if (MultiByteToWideChar(CP_ACP, 0, file, -1, widePath, MAX_PATH * 4) == 0) {
        std::fprintf(stderr, "read-shortcut: path too long\n");
        return 1;
    }
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        std::fprintf(stderr, "read-shortcut: no shell-link object\n");
        return 1;
    }
    int result = 1;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        if (SUCCEEDED(persist->Load(widePath, STGM_READ))) {
            result = PrintShortcut(link);
        } else {
            std::fprintf(stderr, "read-shortcut: cannot load %s\n", file);
        }
        persist->Release();
    }
    link->Release();
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: read-shortcut <file.lnk>\n");
        return 2;
    }
    CoInitialize(nullptr);
    const int result = ReadShortcut(argv[1]);
    CoUninitialize();
    std::fflush(stdout);
    return result;
}
