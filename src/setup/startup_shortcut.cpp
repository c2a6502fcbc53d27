#include "setup/startup_shortcut.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "core/setup/setup_paths.h"

namespace tavik::setup {
namespace {

HRESULT SaveLink(IShellLinkA* link, const std::string& shortcutFile) {
    IPersistFile* file = nullptr;
    HRESULT result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (FAILED(result)) {
        return result;
    }
    WCHAR widePath[kPathBufferSize] = {};
    if (MultiByteToWideChar(CP_ACP, 0, shortcutFile.c_str(), -1, widePath,
                            static_cast<int>(kPathBufferSize)) == 0) {
        // A path that does not fit is not saved anywhere else by accident.
        result = HRESULT_FROM_WIN32(GetLastError());
    } else {
        result = file->Save(widePath, TRUE);
    }
    file->Release();
    return result;
}

}  // namespace

HRESULT CreateStartupShortcut(const std::string& programFile, const std::string& shortcutFile,
                              const char* description) {
    const HRESULT initialized = CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&link));
    if (SUCCEEDED(result)) {
        link->SetPath(programFile.c_str());
        link->SetDescription(description);
        link->SetShowCmd(kShortcutShowCommand);
        if (const auto folder = FolderOfFile(programFile)) {
            link->SetWorkingDirectory(folder->c_str());
        }
        result = SaveLink(link, shortcutFile);
        link->Release();
    }
    // Balanced only: a failed CoInitialize took no reference to give back.
    if (SUCCEEDED(initialized)) {
        CoUninitialize();
    }
    return result;
}

}  // namespace tavik::setup
