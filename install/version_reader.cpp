#include "version_reader.h"

#include <cstring>

#include "cstring.h"
#include "heap.h"
#include "system_functions.h"

namespace {

const int kComponents = 4;
const int kComponentBits = 8;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int DigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// Reads [p, end) as the %i conversion does. FALSE when no digit can be read. The value wraps modulo
// 2^32, which keeps the low byte that is all the packing uses.
bool ReadInteger(const char* p, const char* end, DWORD& value)
{
    while (p < end && IsBlank(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p == end || DigitValue(*p) > 9) return false;

    DWORD base = 10;
    if (*p == '0') {
        base = 8;
        // "0x" counts as hexadecimal only when a hexadecimal digit follows; otherwise the 0 is read.
        if (end - p > 2 && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) < 16) {
            base = 16;
            p += 2;
        }
    }
    DWORD result = 0;
    for (; p < end && static_cast<DWORD>(DigitValue(*p)) < base; ++p)
        result = result * base + static_cast<DWORD>(DigitValue(*p));
    value = negative ? 0u - result : result;
    return true;
}

// Room from `p` to the end of the block; 0 when `p` does not point into it.
size_t RoomInBlock(const void* block, DWORD blockSize, const void* p)
{
    const char* start = static_cast<const char*>(block);
    const char* at = static_cast<const char*>(p);
    if (at < start || at >= start + blockSize) return 0;
    return static_cast<size_t>(start + blockSize - at);
}

bool Complete(const VersionFunctions& version)
{
    return version.getFileVersionInfoSize && version.getFileVersionInfo && version.verQueryValue;
}

}  // namespace

PackedVersion PackVersionText(const char* text, size_t length)
{
    const char* const end = text + length;
    PackedVersion packed = 0;
    int count = 0;
    for (const char* piece = text;;) {
        const char* pieceEnd = piece;
        while (pieceEnd < end && *pieceEnd != '.' && *pieceEnd != ',') ++pieceEnd;
        DWORD value = 0;
        if (!ReadInteger(piece, pieceEnd, value)) break;
        packed = (packed << kComponentBits) | (value & 0xFFu);
        if (++count == kComponents || pieceEnd == end) break;
        piece = pieceEnd + 1;
    }
    for (; count < kComponents; ++count) packed <<= kComponentBits;
    return packed;
}

int QueryVersionBlock(void* block, DWORD blockSize, LPCSTR key, LPSTR outText, int outTextSize,
                      PackedVersion* outPacked)
{
    if (outPacked) *outPacked = 0;
    const VersionFunctions& version = Version();
    if (!Complete(version)) return 0;

    void* translation = NULL;
    UINT translationBytes = 0;
    if (!version.verQueryValue(block, "\\VarFileInfo\\Translation", &translation, &translationBytes)) return 0;
    // A damaged table may be shorter than one entry: never read past it or past the block.
    if (translationBytes < sizeof(DWORD) || RoomInBlock(block, blockSize, translation) < sizeof(DWORD)) return 0;
    DWORD languageAndCodePage = 0;
    ::memcpy(&languageAndCodePage, translation, sizeof(languageAndCodePage));
    // The table holds the language in the low word; the sub-block name wants it first.
    const DWORD codePageLast = MAKELONG(HIWORD(languageAndCodePage), LOWORD(languageAndCodePage));

    CString subBlock;
    subBlock.Format("\\StringFileInfo\\%08lx\\%s", static_cast<unsigned long>(codePageLast), key);
    void* value = NULL;
    UINT valueLength = 0;
    if (!version.verQueryValue(block, subBlock, &value, &valueLength)) return 0;

    // The text must end inside the block; a value recorded shorter than its text is cut there.
    const char* text = static_cast<const char*>(value);
    const size_t room = RoomInBlock(block, blockSize, text);
    const void* terminator = room ? ::memchr(text, 0, room) : NULL;
    if (!terminator) return 0;
    size_t length = static_cast<size_t>(static_cast<const char*>(terminator) - text);
    if (valueLength < length) length = valueLength;

    int copied = 0;
    if (outText && outTextSize >= 1) {
        const size_t n = length < static_cast<size_t>(outTextSize - 1) ? length : static_cast<size_t>(outTextSize - 1);
        ::memcpy(outText, text, n);
        outText[n] = '\0';
        copied = static_cast<int>(n);
    }
    if (outPacked) *outPacked = PackVersionText(text, length);
    return copied;
}

int QueryVersionValue(LPCSTR fileName, LPCSTR key, LPSTR outText, int outTextSize, PackedVersion* outPacked)
{
    if (outPacked) *outPacked = 0;
    const VersionFunctions& version = Version();
    if (!Complete(version)) return 0;
    DWORD handle = 0;
    const DWORD size = version.getFileVersionInfoSize(fileName, &handle);
    if (size == 0) return 0;
    HeapBlock block(size);
    if (!block) return 0;
    // The ANSI lookup converts texts into the spare half of the block: start it clean.
    ::memset(block.get(), 0, size);
    if (!version.getFileVersionInfo(fileName, handle, size, block.get())) return 0;
    return QueryVersionBlock(block.get(), size, key, outText, outTextSize, outPacked);
}
