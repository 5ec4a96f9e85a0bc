// The prefix's real screen-saver settings, for the tests that change them: system.ini's entry and the
// screen-saver flag, read directly and put back afterwards.
#pragma once

#include <doctest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "paths.h"
#include "test_support.h"

namespace testing_support {

inline std::string SystemIniPath() { return std::string(WindowsDirectory()) + "system.ini"; }

inline BOOL ScreenSaveActive()
{
    BOOL active = FALSE;
    ::SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    return active;
}

// Puts system.ini (its bytes, or its absence) and the screen-saver flag back as they were, so that
// other tests in the shared prefix never see what these cases wrote.
class SystemSettingsGuard {
public:
    SystemSettingsGuard() : path_(SystemIniPath()), existed_(Exists(path_)), bytes_(ReadAll(path_)), active_(ScreenSaveActive()) {}
    ~SystemSettingsGuard()
    {
        if (existed_)
            WriteAll(path_, bytes_.data(), bytes_.size());
        else
            ::DeleteFileA(path_.c_str());
        ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active_, NULL, SPIF_UPDATEINIFILE);
    }
    SystemSettingsGuard(const SystemSettingsGuard&) = delete;
    SystemSettingsGuard& operator=(const SystemSettingsGuard&) = delete;

private:
    std::string path_;
    bool existed_;
    std::vector<unsigned char> bytes_;
    BOOL active_;
};

inline std::string ProfileValue(const char* section, const char* key)
{
    char value[1024] = "";
    ::GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, "system.ini");
    return value;
}

inline std::string MakeSaverFile(const std::string& folder, const std::string& name)
{
    const std::string path = folder + "\\" + name;
    REQUIRE(WriteAll(path, "MZ not really a program"));
    return path;
}

}  // namespace testing_support
