#include "command_line.h"

namespace {

const char kSilentSwitch[] = "/S";

// Where a command line's next argument starts, after the blanks before it.
LPCSTR SkipBlanks(LPCSTR p)
{
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

// Past one argument: a quoted stretch counts as part of it, blanks included.
LPCSTR SkipArgument(LPCSTR p)
{
    bool quoted = false;
    for (; *p && (quoted || (*p != ' ' && *p != '\t')); ++p)
        if (*p == '"') quoted = !quoted;
    return p;
}

}  // namespace

BOOL IsSilentRequest(LPCSTR commandLine)
{
    if (!commandLine) return FALSE;
    LPCSTR p = SkipArgument(SkipBlanks(commandLine));  // the program's own name
    for (p = SkipBlanks(p); *p; p = SkipBlanks(p)) {
        LPCSTR end = SkipArgument(p);
        if (end - p == 2 && ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, p, 2, kSilentSwitch, 2) == CSTR_EQUAL)
            return TRUE;
        p = end;
    }
    return FALSE;
}
