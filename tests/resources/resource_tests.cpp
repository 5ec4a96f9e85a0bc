// The built setup executable, opened as a data file under Wine, for what only Windows can answer:
// whether the system makes icons of its icon images, and what the version API reads from the
// programs it carries (the version the installation compares). Everything else in its resources is
// read back once, with pefile, in check_setup_resources.py.
#include <doctest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "test_support.h"

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
class DataModule {
public:
    explicit DataModule(const std::string& path) : module_(::LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~DataModule()
    {
        if (module_) ::FreeLibrary(module_);
    }
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;
    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};

std::vector<unsigned char> ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type)
{
    HRSRC found = ::FindResourceExA(module, type, name, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    const auto* data = static_cast<const unsigned char*>(loaded ? ::LockResource(loaded) : NULL);
    if (!data) return {};
    return std::vector<unsigned char>(data, data + ::SizeofResource(module, found));
}

// The file's version record, read as a program would read it.
class VersionRecord {
public:
    explicit VersionRecord(const std::string& path)
    {
        DWORD ignored = 0;
        const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
        block_.resize(size);
        if (!size || !::GetFileVersionInfoA(path.c_str(), 0, size, block_.data())) block_.clear();
    }
    bool valid() const { return !block_.empty(); }

    const VS_FIXEDFILEINFO* fixed()
    {
        void* value = NULL;
        UINT length = 0;
        if (!::VerQueryValueA(block_.data(), "\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) return NULL;
        return static_cast<const VS_FIXEDFILEINFO*>(value);
    }

    std::vector<DWORD> translations()
    {
        void* value = NULL;
        UINT length = 0;
        std::vector<DWORD> result;
        if (!::VerQueryValueA(block_.data(), "\\VarFileInfo\\Translation", &value, &length)) return result;
        const WORD* words = static_cast<const WORD*>(value);
        for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) result.push_back(MAKELONG(words[i + 1], words[i]));
        return result;
    }

    // "<missing>" when the key is absent.
    std::string text(const char* key)
    {
        void* value = NULL;
        UINT length = 0;
        const std::string query = std::string("\\StringFileInfo\\040904b0\\") + key;
        if (!::VerQueryValueA(block_.data(), query.c_str(), &value, &length)) return "<missing>";
        return length ? std::string(static_cast<const char*>(value)) : std::string();
    }

private:
    std::vector<unsigned char> block_;
};

}  // namespace

TEST_CASE("the system makes an icon of each image of the icon group")
{
    DataModule setup(kSetup);
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

// What the installation compares: the "FileVersion" of the programs it carries, as the version API
// reads it from a copy on disk ("1.00" packs to 0x01000000), with the fixed version agreeing.
TEST_CASE("the embedded screen saver and uninstaller carry the version the installation compares")
{
    DataModule setup(kSetup);
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

        VersionRecord record(copy);
        REQUIRE(record.valid());
        const std::vector<DWORD> translations = record.translations();
        REQUIRE(!translations.empty());
        CHECK(translations.front() == MAKELONG(0x04B0, 0x0409));
        CHECK(record.text("FileVersion") == "1.00");
        const VS_FIXEDFILEINFO* fixed = record.fixed();
        REQUIRE(fixed);
        CHECK(HIWORD(fixed->dwFileVersionMS) == 1);
    }
}
