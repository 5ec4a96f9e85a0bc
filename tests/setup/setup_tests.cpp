#include <doctest.h>

#include <string>

#include "setup_app.h"

TEST_CASE("the Windows directory gets exactly one backslash before the names")
{
    CHECK(std::string(WithTrailingBackslash("C:\\windows")) == "C:\\windows\\");
    CHECK(std::string(WithTrailingBackslash("C:\\")) == "C:\\");
    CHECK(std::string(WithTrailingBackslash("C:\\windows") + "Marigold.scr") == "C:\\windows\\Marigold.scr");
}
