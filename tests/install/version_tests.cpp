// The version reader on fixture programs whose version records were chosen for each rule, on files
// without a version record, and on blocks built in memory where the record itself is damaged.
#include <doctest.h>

#include <cstring>
#include <string>

#include "test_support.h"
#include "version_reader.h"

using namespace testing_support;

namespace {

struct Reading {
    int result;
    std::string text;
    PackedVersion packed;
};

Reading ReadFileVersion(const std::string& path, int textSize = 64)
{
    char text[64];
    ::memset(text, '#', sizeof(text));
    PackedVersion packed = 0xDEADBEEF;
    const int result = QueryVersionValue(path.c_str(), "FileVersion", text, textSize, &packed);
    return Reading{result, std::string(text, ::strnlen(text, sizeof(text))), packed};
}

std::string Fixture(const char* name) { return BuildFile(std::string("version_") + name + ".exe"); }

// --- A version block in the 16-bit (ANSI) layout, in which values are returned in place. ---
void PadToDword(std::string& s) { s.resize((s.size() + 3) & ~size_t(3), '\0'); }

std::string Node(const std::string& key, const std::string& value, const std::string& children = "")
{
    std::string node(4, '\0');
    node += key;
    node += '\0';
    PadToDword(node);
    node += value;
    if (!children.empty()) PadToDword(node);
    node += children;
    const WORD length = static_cast<WORD>(node.size()), valueLength = static_cast<WORD>(value.size());
    ::memcpy(&node[0], &length, 2);
    ::memcpy(&node[2], &valueLength, 2);
    return node;
}

std::string Siblings(std::string first, const std::string& second)
{
    PadToDword(first);
    return first + second;
}

// The file-version text is the last thing in the block, so an unterminated one runs to its end.
// `afterTranslation` fills the padding after the table.
std::string Block(const std::string& translation, const std::string& fileVersion, const std::string& afterTranslation = "")
{
    const std::string var = Node("VarFileInfo", "", Node("Translation", translation) + afterTranslation);
    const std::string strings = Node("StringFileInfo", "", Node("040904b0", "", Node("FileVersion", fileVersion)));
    return Node("VS_VERSION_INFO", "", Siblings(var, strings));
}

const std::string kEnglishUnicode("\x09\x04\xB0\x04", 4);

}  // namespace

TEST_CASE("version texts pack with the integer reading rules")
{
    struct Case { const char* text; PackedVersion packed; };
    const Case cases[] = {
        {"1.00", 0x01000000}, {"1, 0, 0, 1", 0x01000001}, {"2.5.1", 0x02050100}, {"2.5", 0x02050000},
        {"1.2.3.4.5", 0x01020304}, {"300.1", 0x2C010000}, {"1..2", 0x01000000}, {"1.", 0x01000000},
        {"beta 2", 0}, {"", 0}, {" 5,\t6", 0x05060000}, {"3a.4", 0x03040000},
        // hexadecimal, octal (8 does not fit), a sign, and a bare 0x read as 0
        {"0x1F.010.08.-1", 0x1F0800FF}, {"+7.0x", 0x07000000}, {"1.+.3", 0x01000000},
    };
    for (const Case& c : cases) {
        const std::string text = c.text;
        CAPTURE(text);
        CHECK(PackVersionText(c.text, ::strlen(c.text)) == c.packed);
    }
    // Only the given length counts: the piece "23" is cut to "2".
    CHECK(PackVersionText("1.23", 3) == 0x01020000);
}

TEST_CASE("the file version of fixture programs is read as text and packed")
{
    struct Case { const char* fixture; const char* text; PackedVersion packed; };
    const Case cases[] = {
        {"v100", "1.00", 0x01000000}, {"v251", "2.5.1", 0x02050100}, {"v1000", "1.0.0.0", 0x01000000},
        {"commas", "1, 0, 0, 1", 0x01000001}, {"v300", "300.1", 0x2C010000}, {"gap", "1..2", 0x01000000},
        {"five", "1.2.3.4.5", 0x01020304}, {"letter", "beta 2", 0}, {"empty", "", 0},
        // the first translation counts, although the other language's block comes first in the file
        {"twolang", "3.1", 0x03010000},
    };
    for (const Case& c : cases) {
        const std::string fixture = c.fixture;
        CAPTURE(fixture);
        const Reading r = ReadFileVersion(Fixture(c.fixture));
        CHECK(r.text == c.text);
        CHECK(r.result == static_cast<int>(::strlen(c.text)));
        CHECK(r.packed == c.packed);
    }
}

TEST_CASE("text output is cut to the buffer and packing works without it")
{
    const std::string path = Fixture("commas");
    Reading r = ReadFileVersion(path, 4);
    CHECK(r.result == 3);
    CHECK(r.text == "1, ");
    CHECK(r.packed == 0x01000001);  // packing reads the whole value, not the cut copy

    r = ReadFileVersion(path, 1);
    CHECK(r.result == 0);
    CHECK(r.text == "");

    char untouched[4] = {'#', '#', '#', '\0'};
    PackedVersion packed = 0;
    CHECK(QueryVersionValue(path.c_str(), "FileVersion", untouched, 0, &packed) == 0);
    CHECK(std::string(untouched) == "###");
    CHECK(packed == 0x01000001);

    packed = 0;
    CHECK(QueryVersionValue(path.c_str(), "FileVersion", NULL, 0, &packed) == 0);
    CHECK(packed == 0x01000001);
    char text[16];
    CHECK(QueryVersionValue(path.c_str(), "FileVersion", text, sizeof(text), NULL) == 10);
    CHECK(std::string(text) == "1, 0, 0, 1");
}

TEST_CASE("files without a usable version record read as version 0")
{
    ScratchDir dir;
    REQUIRE(WriteAll(dir.file("picture.bmp"), std::string("BM") + std::string(60, '\0')));
    const std::string paths[] = {dir.file("picture.bmp"), dir.file("missing.exe"), Fixture("notrans")};
    for (const std::string& path : paths) {
        CAPTURE(path);
        const Reading r = ReadFileVersion(path);
        CHECK(r.result == 0);
        CHECK(r.packed == 0);
    }
    // A key that is not there.
    PackedVersion packed = 1;
    CHECK(QueryVersionValue(Fixture("v251").c_str(), "ProductName", NULL, 0, &packed) == 0);
    CHECK(packed == 0);
}

TEST_CASE("a damaged version block is never read past its end")
{
    char text[32];
    PackedVersion packed = 0;

    // A sound block first, so that the damaged ones below fail for their damage alone.
    std::string block = Block(kEnglishUnicode, std::string("1.2.3", 6));
    CHECK(QueryVersionBlock(&block[0], static_cast<DWORD>(block.size()), "FileVersion", text, sizeof(text), &packed) == 5);
    CHECK(std::string(text) == "1.2.3");
    CHECK(packed == 0x01020300);

    SUBCASE("a value text without its terminator")
    {
        block = Block(kEnglishUnicode, "1.2.3");
        REQUIRE(block.back() == '3');
    }
    SUBCASE("a translation table shorter than one entry")
    {
        // The padding holds the entry's missing half: only the recorded length shows the cut.
        block = Block(kEnglishUnicode.substr(0, 2), std::string("1.2.3", 6), kEnglishUnicode.substr(2));
    }
    ::strcpy(text, "unchanged");
    packed = 7;
    CHECK(QueryVersionBlock(&block[0], static_cast<DWORD>(block.size()), "FileVersion", text, sizeof(text), &packed) == 0);
    CHECK(packed == 0);
    CHECK(std::string(text) == "unchanged");
}
