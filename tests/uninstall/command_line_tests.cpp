// The uninstaller's command line: only a "/S" argument of its own asks for a silent removal.
#include <doctest.h>

#include "command_line.h"

TEST_CASE("a silent removal is asked for by a /S argument and nothing else")
{
    CHECK(IsSilentRequest("\"C:\\windows\\marigoldfiles\\uninstall.exe\" /S"));
    CHECK(IsSilentRequest("uninstall.exe   /s  "));
    CHECK(IsSilentRequest("uninstall.exe /x /S"));

    CHECK_FALSE(IsSilentRequest("\"C:\\windows\\marigoldfiles\\uninstall.exe\""));
    CHECK_FALSE(IsSilentRequest("\"C:\\My /S folder\\uninstall.exe\""));  // a blank inside the quoted program
    CHECK_FALSE(IsSilentRequest("uninstall.exe /Silent"));
    CHECK_FALSE(IsSilentRequest("uninstall.exe S"));
    CHECK_FALSE(IsSilentRequest(""));
    CHECK_FALSE(IsSilentRequest(NULL));
}
