#include "command_line.h"

#include "arguments.h"
#include "product.h"

namespace {

bool IsQuietSwitch(LPCSTR argument)
{
    const int length = ::lstrlenA(kQuietRemovalSwitch);
    return ::lstrlenA(argument) == length &&
           ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, argument, length, kQuietRemovalSwitch, length) == CSTR_EQUAL;
}

}  // namespace

RemovalRequest ParseRemovalRequest(LPCSTR commandLine)
{
    HeapArray<CString> arguments;
    if (!SplitArguments(commandLine, arguments)) return RemovalRequest::invalid;
    if (arguments.empty()) return RemovalRequest::interactive;
    for (const CString& argument : arguments)
        if (!IsQuietSwitch(argument)) return RemovalRequest::invalid;
    return RemovalRequest::silent;
}
