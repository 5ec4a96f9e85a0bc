#include <doctest.h>

#include <string>

#include "cstring.h"
#include "paths.h"

TEST_CASE("CString loads string-table texts of any length and reports missing ones")
{
    CString text;
    CHECK(text.LoadString(7001));
    CHECK(std::string(text) == "Short text");

    CHECK(text.LoadString(7002));
    CHECK(text.GetLength() == 491);  // longer than the first buffer tried
    CHECK(text[490] == 'X');

    CHECK_FALSE(text.LoadString(7003));
    CHECK(text.IsEmpty());
}

TEST_CASE("CString concatenates and formats with printf rules")
{
    CString folder("C:\\windows");
    CString path = folder + "\\" + CString("Marigold.scr");
    CHECK(std::string(path) == "C:\\windows\\Marigold.scr");

    CString formatted;
    formatted.Format("\\StringFileInfo\\%08lx\\%s", 0x040904b0UL, "FileVersion");
    CHECK(std::string(formatted) == "\\StringFileInfo\\040904b0\\FileVersion");

    const std::string longText(3000, 'a');
    formatted.Format("%s-%d", longText.c_str(), 7);
    CHECK(formatted.GetLength() == 3002);

    // Its own characters, also while it grows: copies stay apart, a string added to itself doubles.
    CString copy = path;
    path += path;
    path += static_cast<LPCSTR>(path) + 11;
    CHECK(std::string(copy) == "C:\\windows\\Marigold.scr");
    CHECK(std::string(path) == "C:\\windows\\Marigold.scrC:\\windows\\Marigold.scrMarigold.scrC:\\windows\\Marigold.scr");
    copy = static_cast<LPCSTR>(copy) + 11;
    CHECK(std::string(copy) == "Marigold.scr");
    CHECK(CString() == CString(""));
    CHECK_FALSE(copy == path);
}

TEST_CASE("a folder gets exactly one backslash before the names joined to it")
{
    CHECK(std::string(WithTrailingBackslash("C:\\windows")) == "C:\\windows\\");
    CHECK(std::string(WithTrailingBackslash("C:\\")) == "C:\\");
    CHECK(std::string(WindowsDirectory() + "Marigold.scr").find("\\\\") == std::string::npos);
}
