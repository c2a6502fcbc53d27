#include "store/win32_message_folder.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>
#include <vector>

#include "win/extended_path.h"
#include "win/scoped_handles.h"

namespace tavik::store {
namespace {

// Largest single ReadFile/WriteFile; files are read and written in pieces of this size.
constexpr DWORD kChunk = 1u << 20;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EndsWithNoCase(std::string_view name, std::string_view suffix) {
    if (suffix.size() > name.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kChunk));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), want, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Renames the open file: no second open of it, and no separate look for the target first (under
// Wine each of those is a round trip to the wineserver, and a look for a missing name reads the
// whole folder). ERROR_ALREADY_EXISTS when replace is false and the name is taken.
bool RenameOpenFile(HANDLE file, const std::wstring& target, bool replace) {
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(offsetof(FILE_RENAME_INFO, FileName) + nameBytes + sizeof(wchar_t), 0);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = replace ? TRUE : FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(rename->FileName, target.c_str(), nameBytes);
    return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != 0;
}

// Writes the bytes through to the disk under `temporary`, then renames that file over the target:
// a reader sees the old file or the whole new one, never a piece. Nothing when the temporary cannot
// be made there or cannot be renamed from there (another volume): the caller tries another place.
std::optional<NewFileResult> WriteAndRename(const std::string& temporaryPath, const std::wstring& target,
                                            std::string_view bytes, bool replace) {
    const std::wstring temporary = win::ExtendedPath(temporaryPath);
    if (temporary.empty()) return std::nullopt;
    win::FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_WRITE, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return std::nullopt;
    const bool written = WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get()) != 0;
    const bool renamed = written && RenameOpenFile(file.Get(), target, replace);
    const DWORD error = GetLastError();
    file.Close();
    // Flushed before the rename: once in place, the file is whole on the disk.
    if (renamed) return NewFileResult::Written;
    // Wine reports a rename that happened as failed when the target's folder is moved away at that
    // moment (it looks the new name up afterwards): the temporary is gone then. Calling that a failure
    // would write the message a second time.
    if (written && GetFileAttributesW(temporary.c_str()) == INVALID_FILE_ATTRIBUTES &&
        GetLastError() == ERROR_FILE_NOT_FOUND) {
        return NewFileResult::Written;
    }
    DeleteFileW(temporary.c_str());
    if (written && error == ERROR_NOT_SAME_DEVICE) return std::nullopt;
    const bool taken = written && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS);
    return taken ? NewFileResult::NameTaken : NewFileResult::Failed;
}

// The temporary goes to the staging place first (see StagingPathFor), beside the target when that
// place cannot take it. The temporary name does not end in ".qms", so the history load never takes it.
NewFileResult WriteThroughTemporary(const std::string& path, std::string_view bytes, bool replace) {
    const std::wstring target = win::ExtendedPath(path);
    if (target.empty()) return NewFileResult::Failed;
    const std::string staged = StagingPathFor(path);
    if (std::optional<NewFileResult> result = WriteAndRename(staged, target, bytes, replace)) return *result;
    const std::string beside = path + std::string(kTemporaryFileSuffix);
    if (staged == beside) return NewFileResult::Failed;
    return WriteAndRename(beside, target, bytes, replace).value_or(NewFileResult::Failed);
}

}  // namespace

std::vector<FolderFile> Win32MessageFolder::ListFiles(const std::string& folder, std::string_view suffix) {
    std::vector<FolderFile> found;
    const std::wstring pattern = win::ExtendedPath(folder + "*" + std::string(suffix));
    if (pattern.empty()) return found;
    WIN32_FIND_DATAW data;
    win::FindHandle search(FindFirstFileW(pattern.c_str(), &data));
    if (!search) return found;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        // The search also matches short 8.3 names ("*.qms" finds "a.qmsx"): keep real matches.
        std::string name = win::AnsiName(data.cFileName);
        if (!EndsWithNoCase(name, suffix)) continue;
        found.push_back({std::move(name), static_cast<std::uint32_t>(data.nFileSizeLow)});
    } while (FindNextFileW(search.Get(), &data));
    return found;
}

std::optional<std::string> Win32MessageFolder::ReadWhole(const std::string& path, std::size_t maxBytes) {
    win::FileHandle file(CreateFileW(win::ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return std::nullopt;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return std::nullopt;
    const std::size_t want = static_cast<std::size_t>(
        std::min<unsigned long long>(static_cast<unsigned long long>(size.QuadPart), maxBytes));
    std::string bytes(want, '\0');
    std::size_t got = 0;
    while (got < want) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(want - got, kChunk));
        DWORD read = 0;
        if (!ReadFile(file.Get(), bytes.data() + got, piece, &read, nullptr)) return std::nullopt;
        if (read == 0) break;  // shorter than it was a moment ago
        got += read;
    }
    bytes.resize(got);
    return bytes;
}

bool Win32MessageFolder::WriteWhole(const std::string& path, std::string_view bytes) {
    return WriteThroughTemporary(path, bytes, true) == NewFileResult::Written;
}

NewFileResult Win32MessageFolder::WriteNew(const std::string& path, std::string_view bytes) {
    // The rename itself refuses a taken name: no search of the folder beforehand, and no file
    // that appears meanwhile is replaced.
    return WriteThroughTemporary(path, bytes, false);
}

bool Win32MessageFolder::Remove(const std::string& path) { return DeleteFileW(win::ExtendedPath(path).c_str()) != 0; }

bool Win32MessageFolder::Exists(const std::string& path) {
    return GetFileAttributesW(win::ExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace tavik::store
