// The built setup executable, opened as a data file under Wine and read through the resource API:
// payloads, string table, icon group and version records.
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
const std::string kSaver = WindowsPath(SAVER_EXE);
const std::string kAssets = WindowsPath(ASSETS_DIR);

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

TEST_CASE("each payload read from the setup executable equals its source file")
{
    DataModule setup(kSetup);
    REQUIRE(setup.get());
    struct Payload { int id; LPCSTR type; std::string file; };
    const Payload payloads[] = {
        {129, RT_RCDATA, kSaver},
        {149, "MYBITMAP", kAssets + "\\ghost.bmp"},
        {150, "MYBITMAP", kAssets + "\\skeleton.bmp"},
        {154, "MYBITMAP", kAssets + "\\pumpkin1.bmp"},
        {146, "MYBITMAP", kAssets + "\\pumpkin2.bmp"},
        {147, "MYBITMAP", kAssets + "\\pumpkin3.bmp"},
        {155, "WAVE", kAssets + "\\boom1.wav"},
    };
    for (const Payload& p : payloads) {
        CAPTURE(p.id);
        const std::vector<unsigned char> source = ReadAll(p.file);
        REQUIRE(source.size() > 0);
        CHECK(ResourceBytes(setup.get(), MAKEINTRESOURCEA(p.id), p.type) == source);
    }
}

TEST_CASE("the string table texts are as the setup shows them")
{
    DataModule setup(kSetup);
    REQUIRE(setup.get());
    const std::pair<UINT, std::string> strings[] = {
        {101, "This will install the Marigold screen saver. Do you wish to continue?"},
        {102, "Marigold.scr"},
        {103, "The Marigold screen saver has been successfully installed!"},
        {104, "The installation failed. You may restart your computer and try again."},
        {57344, "Marigold Screen Saver Setup"},
    };
    for (const auto& s : strings) {
        CAPTURE(s.first);
        char text[512] = "";
        const int length = ::LoadStringA(setup.get(), s.first, text, sizeof text);
        CHECK(length == static_cast<int>(s.second.size()));
        CHECK(std::string(text) == s.second);
    }
}

TEST_CASE("the icon group holds a 2-colour and a 16-colour 32 x 32 image")
{
    DataModule setup(kSetup);
    REQUIRE(setup.get());
    const std::vector<unsigned char> group = ResourceBytes(setup.get(), MAKEINTRESOURCEA(128), RT_GROUP_ICON);
    REQUIRE(group.size() >= 6);
    const WORD count = *reinterpret_cast<const WORD*>(&group[4]);
    REQUIRE(count == 2);
    REQUIRE(group.size() == 6u + 14u * count);
    std::vector<WORD> depths;
    for (WORD i = 0; i < count; ++i) {
        const unsigned char* entry = &group[6 + 14 * i];
        CHECK(entry[0] == 32);
        CHECK(entry[1] == 32);
        const WORD bits = *reinterpret_cast<const WORD*>(entry + 6);
        const WORD id = *reinterpret_cast<const WORD*>(entry + 12);
        depths.push_back(bits);
        // The image itself agrees with its directory entry.
        const std::vector<unsigned char> image = ResourceBytes(setup.get(), MAKEINTRESOURCEA(id), RT_ICON);
        REQUIRE(image.size() >= sizeof(BITMAPINFOHEADER));
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
        CHECK(header->biWidth == 32);
        CHECK(header->biHeight == 64);
        CHECK(header->biBitCount == bits);
        CHECK(image.size() == *reinterpret_cast<const DWORD*>(entry + 8));
        // The system makes an icon of it.
        HICON icon = ::CreateIconFromResourceEx(const_cast<unsigned char*>(image.data()), static_cast<DWORD>(image.size()),
                                                TRUE, 0x00030000, 32, 32, 0);
        CHECK(icon != NULL);
        if (icon) ::DestroyIcon(icon);
    }
    CHECK(depths == std::vector<WORD>{1, 4});
}

TEST_CASE("the setup's version record carries the product's fields")
{
    VersionRecord record(kSetup);
    REQUIRE(record.valid());
    const VS_FIXEDFILEINFO* fixed = record.fixed();
    REQUIRE(fixed);
    CHECK(fixed->dwSignature == 0xFEEF04BDu);
    CHECK(fixed->dwFileVersionMS == 0x00010000u);
    CHECK(fixed->dwFileVersionLS == 0x00000001u);
    CHECK(fixed->dwProductVersionMS == 0x00010000u);
    CHECK(fixed->dwProductVersionLS == 0x00000001u);
    CHECK(record.translations() == std::vector<DWORD>{MAKELONG(1200, 0x0409)});

    CHECK(record.text("FileDescription") == "Screen Saver Setup");
    CHECK(record.text("InternalName") == "Screen Saver Setup");
    CHECK(record.text("FileVersion") == "1.00");
    CHECK(record.text("ProductVersion") == "1.00");
    CHECK(record.text("LegalTrademarks").empty());
    CHECK(record.text("PrivateBuild").empty());
    CHECK(record.text("SpecialBuild").empty());
    CHECK(record.text("CompanyName") == "LUMAVERT");
    CHECK(record.text("ProductName") == "Marigold Screen Saver");
    CHECK(record.text("OriginalFilename") == "MarigoldSetup.exe");
    CHECK(record.text("LegalCopyright").find("LUMAVERT") != std::string::npos);
    CHECK(record.text("Comments") != "<missing>");
}

TEST_CASE("the embedded screen saver carries the version the installation compares")
{
    DataModule setup(kSetup);
    REQUIRE(setup.get());
    const std::vector<unsigned char> saver = ResourceBytes(setup.get(), MAKEINTRESOURCEA(129), RT_RCDATA);
    REQUIRE(saver.size() > 2);
    CHECK(saver[0] == 'M');
    CHECK(saver[1] == 'Z');
    ScratchDir scratch;
    const std::string copy = scratch.file("Marigold.scr");
    REQUIRE(WriteAll(copy, saver.data(), saver.size()));

    VersionRecord record(copy);
    REQUIRE(record.valid());
    const std::vector<DWORD> translations = record.translations();
    REQUIRE(!translations.empty());
    CHECK(translations.front() == MAKELONG(0x04B0, 0x0409));
    // "1.00": one byte per dotted component gives 0x01000000.
    CHECK(record.text("FileVersion") == "1.00");
    const VS_FIXEDFILEINFO* fixed = record.fixed();
    REQUIRE(fixed);
    CHECK(HIWORD(fixed->dwFileVersionMS) == 1);
}
