#include "setup/startup_shortcut.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "core/setup/setup_paths.h"
#include "win/com_library.h"

namespace tavik::setup {
namespace {

HRESULT SaveLink(IShellLinkA* link, const std::string& shortcutFile) {
    win::ComPtr<IPersistFile> file;
    HRESULT result = link->QueryInterface(IID_IPersistFile, file.Receive());
    if (FAILED(result)) {
        return result;
    }
    WCHAR widePath[kPathBufferSize] = {};
    if (MultiByteToWideChar(CP_ACP, 0, shortcutFile.c_str(), -1, widePath, static_cast<int>(kPathBufferSize)) == 0) {
        // A path that does not fit is not saved anywhere else by accident.
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return file->Save(widePath, TRUE);
}

}  // namespace

HRESULT CreateStartupShortcut(const std::string& programFile, const std::string& shortcutFile,
                              const char* description) {
    win::ComLibrary com;  // given back only when it was taken
    win::ComPtr<IShellLinkA> link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Receive());
    if (SUCCEEDED(result)) {
        link->SetPath(programFile.c_str());
        link->SetDescription(description);
        link->SetShowCmd(kShortcutShowCommand);
        if (const auto folder = FolderOfFile(programFile)) {
            link->SetWorkingDirectory(folder->c_str());
        }
        result = SaveLink(link.Get(), shortcutFile);
    }
    return result;
}

}  // namespace tavik::setup
