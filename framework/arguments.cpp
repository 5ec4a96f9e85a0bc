#include "arguments.h"

namespace {

// Where a command line's next argument starts, after the blanks before it.
LPCSTR SkipBlanks(LPCSTR p)
{
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

// One argument from `p`, its quotes left out; `p` is left past it.
CString TakeArgument(LPCSTR& p)
{
    CString argument;
    bool quoted = false;
    for (; *p && (quoted || (*p != ' ' && *p != '\t')); ++p) {
        if (*p == '"')
            quoted = !quoted;
        else
            argument += *p;
    }
    return argument;
}

}  // namespace

bool SplitArguments(LPCSTR commandLine, HeapArray<CString>& arguments)
{
    arguments.clear();
    if (!commandLine) return true;
    LPCSTR p = SkipBlanks(commandLine);
    TakeArgument(p);  // the program's own name
    for (p = SkipBlanks(p); *p; p = SkipBlanks(p))
        if (!arguments.push(TakeArgument(p))) return false;
    return true;
}
