#include "command_line.h"

#include "product.h"

namespace {

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
        const int length = static_cast<int>(end - p);
        if (length == ::lstrlenA(kQuietRemovalSwitch) &&
            ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, p, length, kQuietRemovalSwitch, length) == CSTR_EQUAL)
            return TRUE;
        p = end;
    }
    return FALSE;
}
