// Installing the test program's own embedded files onto real files: extraction, the version check,
// and every way an installation can fail without harming what is already installed. Each case uses
// a temporary folder of its own, so that temporary copies it leaves behind can be counted.
#include <doctest.h>

#include <string>
#include <vector>

#include "install_test_support.h"
#include "payload_ids.h"
#include "resource_file.h"

using namespace install_testing;
using namespace testing_support;

namespace {

LPCSTR Id(int id) { return MAKEINTRESOURCEA(id); }

const LPCSTR kData = MAKEINTRESOURCEA(10);  // RT_RCDATA

// A scratch folder, with TMP and TEMP pointed at a folder inside it for the length of the case.
struct InstallCase {
    ScratchDir dir;
    std::string temp = dir.file("tmp");
    bool madeTemp = ::CreateDirectoryA(temp.c_str(), NULL) != FALSE;
    TempFolderOverride tempOverride{temp + "\\"};

    std::string target(const char* name = "target.bin") const { return dir.file(name); }
    int temporaryCopiesLeft() const { return CountFiles(temp + "\\scs*.tmp"); }
};

std::vector<unsigned char> BuildBytes(const char* name) { return ReadAll(BuildFile(name)); }

}  // namespace

TEST_CASE("resources are written byte for byte where nothing was installed")
{
    InstallCase c;
    REQUIRE(c.madeTemp);
    const std::vector<unsigned char> blob = BuildBytes("blob.bin");
    REQUIRE(blob.size() >= 196608);

    struct Case { LPCSTR name; LPCSTR type; const char* source; };
    const Case cases[] = {
        {Id(ID_BLOB), kData, "blob.bin"},
        {Id(ID_PICTURE), "MYBITMAP", "picture.bmp"},
        {"CHIME", "WAVE", "chime.wav"},
        {Id(ID_EMPTY), kData, "empty.bin"},
        {Id(ID_IMAGE_NEWER), kData, "version_v251.exe"},
    };
    for (const Case& k : cases) {
        const std::string source = k.source;
        CAPTURE(source);
        const std::string path = c.target(k.source);
        CHECK(ExtractResource(path.c_str(), k.name, k.type) == 1);
        CHECK(ReadAll(path) == BuildBytes(k.source));
        CHECK(Exists(path));
    }

    // An absent target needs no temporary copy: with no usable temporary folder it still installs.
    TempFolderOverride noTemp(c.dir.file("no such folder") + "\\");
    const std::string fresh = c.target("fresh.bin");
    CHECK(InstallResourceFile(fresh.c_str(), Id(ID_BLOB), kData) == 1);
    CHECK(ReadAll(fresh) == blob);
    CHECK(c.temporaryCopiesLeft() == 0);
}

TEST_CASE("ExtractResource replaces an existing file and fails cleanly")
{
    InstallCase c;
    const std::string path = c.target();
    REQUIRE(WriteAll(path, std::string(300000, 'x')));
    CHECK(ExtractResource(path.c_str(), Id(ID_PICTURE), "MYBITMAP") == 1);
    CHECK(ReadAll(path) == BuildBytes("picture.bmp"));

    CHECK(ExtractResource(c.target("absent.bin").c_str(), Id(ID_ABSENT), kData) == 0);
    CHECK(ExtractResource(c.target("absent.bin").c_str(), Id(ID_BLOB), "MYBITMAP") == 0);
    CHECK_FALSE(Exists(c.target("absent.bin")));
    CHECK(ExtractResource(c.dir.file("missing\\file.bin").c_str(), Id(ID_BLOB), kData) == 0);
}

TEST_CASE("a newer installed file is kept and anything else is replaced")
{
    InstallCase c;
    REQUIRE(c.madeTemp);
    const std::string path = c.target("saver.scr");
    struct Case { const char* installed; int embedded; bool kept; };
    const Case cases[] = {
        {"version_v251.exe", ID_IMAGE_OLDER, true},    // 2.5.1 installed, 1.00 embedded
        {"version_v100.exe", ID_IMAGE_OLDER, false},   // equal versions: rewritten
        {"version_v1000.exe", ID_IMAGE_OLDER, false},  // "1.0.0.0" equals "1.00"
        {"version_commas.exe", ID_IMAGE_NEWER, false}, // 1.0.0.1 installed, 2.5.1 embedded
        {"picture.bmp", ID_IMAGE_OLDER, false},        // no version at all
    };
    for (const Case& k : cases) {
        const std::string name = k.installed;
        CAPTURE(name);
        const std::vector<unsigned char> installed = BuildBytes(k.installed);
        REQUIRE(WriteAll(path, installed.data(), installed.size()));
        CHECK(InstallResourceFile(path.c_str(), Id(k.embedded), kData) == 1);
        const char* expected = k.kept ? k.installed : k.embedded == ID_IMAGE_OLDER ? "version_v100.exe" : "version_v251.exe";
        CHECK(ReadAll(path) == BuildBytes(expected));
        CHECK(c.temporaryCopiesLeft() == 0);
    }

    // Files without versions are rewritten on every run.
    REQUIRE(WriteAll(c.target("chime.wav"), "old sound"));
    CHECK(InstallResourceFile(c.target("chime.wav").c_str(), "CHIME", "WAVE") == 1);
    CHECK(ReadAll(c.target("chime.wav")) == BuildBytes("chime.wav"));
    CHECK(c.temporaryCopiesLeft() == 0);
}

TEST_CASE("an installed file that cannot be replaced stays as it was")
{
    InstallCase c;
    REQUIRE(c.madeTemp);
    const std::string path = c.target("saver.scr");

    // Read-only, installed copy older than the embedded one, then equal to it.
    const struct { const char* fixture; int embedded; } readOnly[] = {
        {"version_commas.exe", ID_IMAGE_NEWER}, {"version_v1000.exe", ID_IMAGE_OLDER}};
    for (const auto& installed : readOnly) {
        SUBCASE(installed.fixture)
        {
            const std::vector<unsigned char> before = BuildBytes(installed.fixture);
            REQUIRE(WriteAll(path, before.data(), before.size()));
            REQUIRE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
            CHECK(InstallResourceFile(path.c_str(), Id(installed.embedded), kData) == 0);
            CHECK(ReadAll(path) == before);
        }
    }
    SUBCASE("a folder of that name")
    {
        REQUIRE(::CreateDirectoryA(path.c_str(), NULL));
        CHECK(InstallResourceFile(path.c_str(), Id(ID_BLOB), kData) == 0);
        CHECK(ExtractResource(path.c_str(), Id(ID_BLOB), kData) == 0);
        CHECK((::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0);
    }
    SUBCASE("a missing folder")
    {
        CHECK(InstallResourceFile(c.dir.file("missing\\saver.scr").c_str(), Id(ID_BLOB), kData) == 0);
        CHECK_FALSE(Exists(c.dir.file("missing")));
    }
    CHECK(c.temporaryCopiesLeft() == 0);
}

TEST_CASE("a missing resource leaves the installed file untouched")
{
    InstallCase c;
    REQUIRE(c.madeTemp);
    // Unversioned (which a version comparison would replace) and versioned (which it would keep).
    const std::vector<unsigned char> plain = Bytes("installed earlier");
    const std::vector<unsigned char> versioned = BuildBytes("version_v251.exe");
    REQUIRE(WriteAll(c.target("plain.bin"), plain.data(), plain.size()));
    REQUIRE(WriteAll(c.target("versioned.exe"), versioned.data(), versioned.size()));

    CHECK(InstallResourceFile(c.target("plain.bin").c_str(), Id(ID_ABSENT), kData) == 0);
    CHECK(InstallResourceFile(c.target("versioned.exe").c_str(), "NOSUCH", "WAVE") == 0);
    CHECK(InstallResourceFile(c.target("absent.bin").c_str(), Id(ID_ABSENT), kData) == 0);
    CHECK(ReadAll(c.target("plain.bin")) == plain);
    CHECK(ReadAll(c.target("versioned.exe")) == versioned);
    CHECK_FALSE(Exists(c.target("absent.bin")));
    CHECK(c.temporaryCopiesLeft() == 0);
}

TEST_CASE("without a usable temporary folder an installed file stays as it was")
{
    InstallCase c;
    const std::string path = c.target("saver.scr");
    const std::vector<unsigned char> older = BuildBytes("version_commas.exe");
    REQUIRE(WriteAll(path, older.data(), older.size()));

    SUBCASE("the folder is missing")
    {
        TempFolderOverride missing(c.dir.file("no such folder") + "\\");
        CHECK(InstallResourceFile(path.c_str(), Id(ID_IMAGE_NEWER), kData) == 0);
    }
    SUBCASE("the folder is a file")
    {
        REQUIRE(WriteAll(c.dir.file("not a folder"), "x"));
        TempFolderOverride notFolder(c.dir.file("not a folder") + "\\");
        CHECK(InstallResourceFile(path.c_str(), Id(ID_IMAGE_NEWER), kData) == 0);
    }
    CHECK(ReadAll(path) == older);
}

// Run under a file-size limit smaller than the blob, so that the write is cut short for real.
TEST_CASE("disk full leaves no partly written file")
{
    InstallCase c;
    REQUIRE(c.madeTemp);
    const std::string fresh = c.target("fresh.bin");
    CHECK(ExtractResource(fresh.c_str(), Id(ID_BLOB), kData) == 0);
    CHECK_FALSE(Exists(fresh));
    CHECK(InstallResourceFile(fresh.c_str(), Id(ID_BLOB), kData) == 0);
    CHECK_FALSE(Exists(fresh));

    // An installed file: the temporary copy is what cannot be written, so the old file stays.
    const std::string installed = c.target("installed.bin");
    REQUIRE(WriteAll(installed, "installed earlier"));
    CHECK(InstallResourceFile(installed.c_str(), Id(ID_BLOB), kData) == 0);
    CHECK(ReadAll(installed) == Bytes("installed earlier"));
    CHECK(c.temporaryCopiesLeft() == 0);

    // Small files still fit: the fault is the size, not the folder.
    CHECK(InstallResourceFile(installed.c_str(), Id(ID_PICTURE), "MYBITMAP") == 1);
    CHECK(ReadAll(installed) == BuildBytes("picture.bmp"));
}
