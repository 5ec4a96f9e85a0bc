// The built setup executable, opened as a data file under Wine, for what only Windows can answer:
// whether the system makes icons of its icon images, and what the version API reads from the
// programs it carries (the version the installation compares). Everything else in its resources is
// read back once, with pefile, in check_setup_resources.py.
#include <doctest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "owner.h"
#include "test_support.h"
#include "version_reader.h"

using namespace testing_support;

namespace {

std::string WindowsPath(std::string path)
{
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

const std::string kSetup = WindowsPath(SETUP_EXE);

// The setup executable mapped as data only: nothing of it runs.
struct DataModuleTraits : NullIsNone<HMODULE> {
    static bool Free(HMODULE module) { return ::FreeLibrary(module) != FALSE; }
};
typedef Owner<DataModuleTraits> DataModule;

HMODULE LoadSetupAsData() { return ::LoadLibraryExA(kSetup.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE); }

std::vector<unsigned char> ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type)
{
    HRSRC found = ::FindResourceExA(module, type, name, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    const auto* data = static_cast<const unsigned char*>(loaded ? ::LockResource(loaded) : NULL);
    if (!data) return {};
    return std::vector<unsigned char>(data, data + ::SizeofResource(module, found));
}

}  // namespace

TEST_CASE("the system makes an icon of each image of the icon group")
{
    DataModule setup(LoadSetupAsData());
    REQUIRE(setup.get());
    const std::vector<unsigned char> group = ResourceBytes(setup.get(), MAKEINTRESOURCEA(128), RT_GROUP_ICON);
    REQUIRE(group.size() >= 6);
    const WORD count = *reinterpret_cast<const WORD*>(&group[4]);
    REQUIRE(group.size() == 6u + 14u * count);
    for (WORD i = 0; i < count; ++i) {
        const WORD id = *reinterpret_cast<const WORD*>(&group[6 + 14 * i + 12]);
        CAPTURE(id);
        const std::vector<unsigned char> image = ResourceBytes(setup.get(), MAKEINTRESOURCEA(id), RT_ICON);
        HICON icon = image.empty() ? NULL
                                   : ::CreateIconFromResourceEx(const_cast<unsigned char*>(image.data()),
                                                                static_cast<DWORD>(image.size()), TRUE, 0x00030000, 32, 32, 0);
        CHECK(icon != NULL);
        if (icon) ::DestroyIcon(icon);
    }
}

// What the installation compares: the "FileVersion" of the programs it carries, read from a copy on disk
// by the installation's own reader through the version API (their fixed versions are pe_check.py's).
TEST_CASE("the embedded screen saver and uninstaller carry the version the installation compares")
{
    DataModule setup(LoadSetupAsData());
    REQUIRE(setup.get());
    for (int id : {129, 130}) {
        CAPTURE(id);
        const std::vector<unsigned char> program = ResourceBytes(setup.get(), MAKEINTRESOURCEA(id), RT_RCDATA);
        REQUIRE(program.size() > 2);
        CHECK(program[0] == 'M');
        CHECK(program[1] == 'Z');
        ScratchDir scratch;
        const std::string copy = scratch.file("program.exe");
        REQUIRE(WriteAll(copy, program.data(), program.size()));

        char text[16] = "";
        PackedVersion packed = 0;
        CHECK(QueryVersionValue(copy.c_str(), kFileVersionKey, text, sizeof(text), &packed) == 4);
        CHECK(std::string(text) == "1.00");
        CHECK(packed == 0x01000000);
    }
}
