#include "command_line.h"

#include <cctype>
#include <limits>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* p)
{
    while (*p && IsBlank(*p)) ++p;
    return p;
}

// Reads an unsigned decimal handle; false when there is no number, it overflows, or junk follows.
bool ParseHandle(const char* p, std::uintptr_t& value)
{
    p = SkipBlanks(p);
    if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
    const std::uintptr_t max = std::numeric_limits<std::uintptr_t>::max();
    std::uintptr_t result = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        const unsigned digit = static_cast<unsigned>(*p - '0');
        if (result > (max - digit) / 10) return false;
        result = result * 10 + digit;
    }
    if (*SkipBlanks(p) != '\0') return false;
    value = result;
    return true;
}

}  // namespace

SaverCommand ParseSaverCommandLine(const char* commandLine)
{
    SaverCommand command;
    const char* p = SkipBlanks(commandLine ? commandLine : "");
    if (*p != '/' && *p != '-') return command;  // nothing, or something unknown: settings
    ++p;
    switch (std::tolower(static_cast<unsigned char>(*p))) {
    case 's': command.mode = SaverMode::Run; break;
    case 'p': command.mode = SaverMode::Preview; break;
    case 'c': command.mode = SaverMode::Configure; break;
    case 'a': command.mode = SaverMode::Password; break;
    default: return command;
    }
    ++p;
    // The letter must stand alone: "/preview" or "/sx" is not one of ours.
    if (*p != '\0' && *p != ':' && !IsBlank(*p)) return SaverCommand();
    if (*p == ':') ++p;
    p = SkipBlanks(p);
    if (*p == '\0') {
        // A preview without a window to draw in cannot be shown.
        if (command.mode == SaverMode::Preview) command.badWindow = true;
        return command;
    }
    if (command.mode == SaverMode::Run) return command;  // "/s" ignores what follows
    command.hasWindow = true;
    if (!ParseHandle(p, command.window)) {
        command.window = 0;
        command.badWindow = true;
    }
    return command;
}
