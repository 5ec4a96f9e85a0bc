// Shared by the installation tests: where the fixtures lie, and a private temporary folder.
#pragma once

#include <windows.h>

#include <string>

#include "test_support.h"

namespace install_testing {

// The folder of the test program, where the build puts the fixture programs and payload files.
inline std::string BuildFile(const std::string& name)
{
    char self[MAX_PATH] = "";
    ::GetModuleFileNameA(NULL, self, MAX_PATH);
    std::string folder(self);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + name;
}

// Points TMP and TEMP of this process at `folder` (which need not exist) and restores them afterwards.
class TempFolderOverride {
public:
    explicit TempFolderOverride(const std::string& folder)
    {
        for (int i = 0; i < 2; ++i) {
            char value[MAX_PATH] = "";
            const DWORD length = ::GetEnvironmentVariableA(kNames[i], value, MAX_PATH);
            had_[i] = length > 0 && length < MAX_PATH;
            saved_[i] = had_[i] ? value : "";
            ::SetEnvironmentVariableA(kNames[i], folder.c_str());
        }
    }
    ~TempFolderOverride()
    {
        for (int i = 0; i < 2; ++i) ::SetEnvironmentVariableA(kNames[i], had_[i] ? saved_[i].c_str() : NULL);
    }
    TempFolderOverride(const TempFolderOverride&) = delete;
    TempFolderOverride& operator=(const TempFolderOverride&) = delete;

private:
    static constexpr const char* kNames[2] = {"TMP", "TEMP"};
    bool had_[2] = {};
    std::string saved_[2];
};

}  // namespace install_testing
