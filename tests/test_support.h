// Small helpers shared by the Windows-side tests: a scratch folder on the real file system of the
// Wine prefix, the test program's own and the user's folders, a folder's entries, and whole-file
// reads and writes.
#pragma once

#include <doctest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "paths.h"

namespace testing_support {

// Deletes a folder and everything below it (clearing read-only attributes on the way).
inline void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = path + "\\" + name;
            ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                ::DeleteFileA(child.c_str());
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryA(path.c_str());
}

// A fresh, empty folder below the user's temporary folder, removed with its contents at scope exit.
class ScratchDir {
public:
    ScratchDir()
    {
        char temp[MAX_PATH] = "";
        ::GetTempPathA(MAX_PATH, temp);
        for (unsigned n = ::GetTickCount() ^ ::GetCurrentProcessId();; ++n) {
            path_ = std::string(temp) + "mgtest" + std::to_string(n % 100000000u);
            if (::CreateDirectoryA(path_.c_str(), NULL)) break;
        }
    }
    ~ScratchDir() { RemoveTree(path_); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// `name` in the test program's folder, where the build puts fixture programs and payload files.
inline std::string BuildFile(const std::string& name)
{
    char self[MAX_PATH] = "";
    ::GetModuleFileNameA(NULL, self, MAX_PATH);
    std::string folder(self);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + name;
}

inline bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The user's folder `folderId` (a CSIDL), which must be there.
inline std::string SpecialFolder(int folderId)
{
    char path[MAX_PATH] = "";
    REQUIRE(::SHGetSpecialFolderPathA(NULL, path, folderId, FALSE));
    return path;
}

// The names in `folder` that begin with `prefix`, sorted (case as stored), without "." and "..".
inline std::vector<std::string> EntriesIn(const std::string& folder, const std::string& prefix = "")
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != ".." && name.compare(0, prefix.size(), prefix) == 0) names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// A whole path for the wide file functions: the ANSI ones stop at MAX_PATH characters, the "\\?\" form
// of the wide ones does not.
inline std::wstring LongPath(const std::string& path)
{
    HeapBlock wide(0);
    return L"\\\\?\\" + std::wstring(ToWide(path.c_str(), wide) ? static_cast<LPCWSTR>(wide.get()) : L"");
}

inline std::vector<unsigned char> ReadAll(const std::string& path)
{
    std::vector<unsigned char> bytes;
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE h = path.size() < MAX_PATH ? ::CreateFileA(path.c_str(), GENERIC_READ, share, NULL, OPEN_EXISTING, 0, NULL)
                                      : ::CreateFileW(LongPath(path).c_str(), GENERIC_READ, share, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    const DWORD size = ::GetFileSize(h, NULL);
    bytes.resize(size);
    DWORD got = 0;
    if (size && !::ReadFile(h, bytes.data(), size, &got, NULL)) got = 0;
    bytes.resize(got);
    ::CloseHandle(h);
    return bytes;
}

inline bool WriteAll(const std::string& path, const void* data, size_t size)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = size == 0 || ::WriteFile(h, data, static_cast<DWORD>(size), &written, NULL);
    ::CloseHandle(h);
    return ok && written == size;
}

inline bool WriteAll(const std::string& path, const std::string& text) { return WriteAll(path, text.data(), text.size()); }

inline std::vector<unsigned char> Bytes(const std::string& text) { return std::vector<unsigned char>(text.begin(), text.end()); }

}  // namespace testing_support
