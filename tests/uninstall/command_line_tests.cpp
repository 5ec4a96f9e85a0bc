// The uninstaller's command line: "/S" asks for a silent removal; any other argument for nothing at all.
#include <doctest.h>

#include <initializer_list>

#include "command_line.h"

TEST_CASE("a silent removal is asked for by /S alone and any other argument is refused")
{
    CHECK(ParseRemovalRequest("\"C:\\windows\\marigoldfiles\\uninstall.exe\" /S") == RemovalRequest::silent);
    CHECK(ParseRemovalRequest("uninstall.exe   /s  ") == RemovalRequest::silent);

    CHECK(ParseRemovalRequest("\"C:\\windows\\marigoldfiles\\uninstall.exe\"") == RemovalRequest::interactive);
    CHECK(ParseRemovalRequest("\"C:\\My /S folder\\uninstall.exe\"") == RemovalRequest::interactive);  // a blank inside the quoted program
    CHECK(ParseRemovalRequest("") == RemovalRequest::interactive);
    CHECK(ParseRemovalRequest(NULL) == RemovalRequest::interactive);

    for (const char* line : {"uninstall.exe /quiet", "uninstall.exe /qn", "uninstall.exe /VERYSILENT", "uninstall.exe /Silent",
                             "uninstall.exe S", "uninstall.exe /x /S", "uninstall.exe \"/S x\""})
        CHECK_MESSAGE(ParseRemovalRequest(line) == RemovalRequest::invalid, line);
}
