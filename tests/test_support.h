// Small helpers shared by the Windows-side tests: a scratch folder on the real file system of the
// Wine prefix, and whole-file reads and writes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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

inline bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline std::vector<unsigned char> ReadAll(const std::string& path)
{
    std::vector<unsigned char> bytes;
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
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
