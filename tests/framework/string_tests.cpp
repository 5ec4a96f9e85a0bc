#include <doctest.h>

#include <string>

#include "cstring.h"

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
}
