// Makes shell links on request for the Linux-side checks (tests/shortcuts/shell_link_check.py):
//   shell_link_maker folder CSIDL                    prints the folder's path, or "none"
//   shell_link_maker create [--no-com] CSIDL TITLE TARGET [CSIDL TITLE TARGET ...]
// Each triple is one CreateShellLink call; --no-com leaves COM uninitialised on the thread.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell_link.h"

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "folder") == 0) {
        char path[MAX_PATH] = "";
        const BOOL found = ::SHGetSpecialFolderPathA(NULL, path, std::atoi(argv[2]), FALSE);
        std::printf("%s\n", found ? path : "none");
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "create") == 0) {
        int next = 2;
        const bool withCom = !(argc > next && std::strcmp(argv[next], "--no-com") == 0);
        if (!withCom) ++next;
        if ((argc - next) % 3 != 0) return 2;
        if (withCom && FAILED(::CoInitialize(NULL))) return 3;
        for (; next < argc; next += 3) CreateShellLink(std::atoi(argv[next]), argv[next + 1], argv[next + 2]);
        std::printf("created\n");
        return 0;
    }
    std::fprintf(stderr, "usage: shell_link_maker folder CSIDL | create [--no-com] CSIDL TITLE TARGET ...\n");
    return 2;
}
