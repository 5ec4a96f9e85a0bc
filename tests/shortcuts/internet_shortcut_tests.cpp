// The Internet shortcut under Wine, written into the test user's real Favorites folder. Every case
// uses its own title, so tests running side by side in the shared prefix do not meet.
#include <doctest.h>

#include <shlobj.h>

#include "internet_shortcut.h"
#include "registry_key.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const char kUrl[] = "http://www.lumavert.example";

// A title no other test (or earlier run) uses.
std::string UniqueTitle(const std::string& stem)
{
    static unsigned serial = 0;
    return stem + " " + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount()) + "-" +
           std::to_string(++serial);
}

std::string ExpectedBytes(const std::string& url)
{
    return "[DEFAULT]\r\nBASEURL=" + url + "\r\n[InternetShortcut]\r\nURL=" + url + "\r\n";
}

// Deletes a shortcut this test made, whatever its attributes and length.
struct RemovedAtExit {
    std::string path;
    ~RemovedAtExit()
    {
        ::SetFileAttributesW(LongPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(LongPath(path).c_str());
    }
};

// Points one of the user's shell folders somewhere else and puts both registry records of it
// (the configured one and the shell's resolved copy) back as they were.
class RedirectedShellFolder {
public:
    RedirectedShellFolder(const char* name, const std::string& path) : name_(name)
    {
        for (Saved& saved : saved_) {
            if (!saved.key.Open(HKEY_CURRENT_USER, saved.keyName, KEY_QUERY_VALUE | KEY_SET_VALUE)) continue;
            const LONG read = ::RegQueryValueExA(saved.key.get(), name, NULL, &saved.type, saved.data, &saved.size);
            REQUIRE(read != ERROR_MORE_DATA);
            saved.present = read == ERROR_SUCCESS;
        }
        REQUIRE(::RegSetValueExA(saved_[0].key.get(), name, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                 static_cast<DWORD>(path.size() + 1)) == ERROR_SUCCESS);
    }
    ~RedirectedShellFolder()
    {
        for (Saved& saved : saved_) {
            if (saved.present)
                ::RegSetValueExA(saved.key.get(), name_, 0, saved.type, saved.data, saved.size);
            else
                saved.key.DeleteValue(name_);
        }
    }

private:
    struct Saved {
        const char* keyName;
        RegistryKey key{};
        bool present = false;
        DWORD type = 0;
        BYTE data[4 * MAX_PATH] = {};
        DWORD size = sizeof(data);
    };
    const char* name_;
    Saved saved_[2] = {{"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"},
                       {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"}};
};

}  // namespace

TEST_CASE("Internet shortcut holds exactly four CR LF lines and a rerun rewrites it")
{
    const std::string favorites = SpecialFolder(CSIDL_FAVORITES);
    const std::string title = UniqueTitle("LUMAVERT - FREE DOWNLOADS, GAMES, UTILITIES");
    RemovedAtExit shortcut{favorites + "\\" + title + ".url"};

    CreateInternetShortcut(title.c_str(), kUrl);
    CHECK(ReadAll(shortcut.path) == Bytes(ExpectedBytes(kUrl)));

    // A longer file of the same name is truncated, not overlaid.
    REQUIRE(WriteAll(shortcut.path, std::string(4000, 'x') + "\n"));
    CreateInternetShortcut(title.c_str(), kUrl);
    CreateInternetShortcut(title.c_str(), kUrl);
    CHECK(ReadAll(shortcut.path) == Bytes(ExpectedBytes(kUrl)));
    CHECK(EntriesIn(favorites, title) == std::vector<std::string>{title + ".url"});

    // The address goes in as given, however long, with nothing quoted or escaped.
    const std::string odd = "http://www.lumavert.example/a b?c=%20&d=" + std::string(3000, 'q');
    CreateInternetShortcut(title.c_str(), odd.c_str());
    CHECK(ReadAll(shortcut.path) == Bytes(ExpectedBytes(odd)));
}

TEST_CASE("Internet shortcut leaves a read-only shortcut unchanged")
{
    const std::string title = UniqueTitle("Marigold read-only");
    RemovedAtExit shortcut{SpecialFolder(CSIDL_FAVORITES) + "\\" + title + ".url"};
    const std::string before = "[InternetShortcut]\r\nURL=http://kept.example\r\n";
    REQUIRE(WriteAll(shortcut.path, before));
    REQUIRE(::SetFileAttributesA(shortcut.path.c_str(), FILE_ATTRIBUTE_READONLY));

    CreateInternetShortcut(title.c_str(), kUrl);
    CHECK(ReadAll(shortcut.path) == Bytes(before));
}

TEST_CASE("Internet shortcut path is built at its real length")
{
    const std::string favorites = SpecialFolder(CSIDL_FAVORITES);

    // Folder and title one character short of MAX_PATH: written whole, under its whole name.
    const std::string fitStem = UniqueTitle("Marigold fits");
    const std::string fitTitle = fitStem + std::string(MAX_PATH - 1 - favorites.size() - 1 - 4 - fitStem.size(), 'F');
    RemovedAtExit fitShortcut{favorites + "\\" + fitTitle + ".url"};
    REQUIRE(fitShortcut.path.size() == MAX_PATH - 1);
    CreateInternetShortcut(fitTitle.c_str(), kUrl);
    CHECK(EntriesIn(favorites, fitStem) == std::vector<std::string>{fitTitle + ".url"});
    CHECK(ReadAll(fitShortcut.path) == Bytes(ExpectedBytes(kUrl)));

    // Past MAX_PATH: the whole name or, where the system refuses such a path (Wine's ANSI calls do),
    // no file; never a cut-off name.
    const std::string stem = UniqueTitle("Marigold long");
    const std::string longTitle = stem + std::string(240 - stem.size(), 'L');
    RemovedAtExit longShortcut{favorites + "\\" + longTitle + ".url"};
    REQUIRE(longShortcut.path.size() > MAX_PATH);
    CreateInternetShortcut(longTitle.c_str(), kUrl);
    const std::vector<std::string> written = EntriesIn(favorites, stem);
    CHECK((written.empty() || written == std::vector<std::string>{longTitle + ".url"}));
    if (!written.empty()) CHECK(ReadAll(longShortcut.path) == Bytes(ExpectedBytes(kUrl)));

    // Past any buffer a fixed-size assembly could hold: no file system takes such a name, and
    // nothing else is written or overrun.
    const std::string hugeStem = UniqueTitle("Marigold huge");
    const std::string hugeTitle = hugeStem + std::string(6000, 'H');
    CreateInternetShortcut(hugeTitle.c_str(), kUrl);
    CHECK(EntriesIn(favorites, hugeStem).empty());
}

TEST_CASE("Internet shortcut without a Favorites folder writes nothing")
{
    ScratchDir scratch;
    const std::string realFavorites = SpecialFolder(CSIDL_FAVORITES);
    const std::string missing = scratch.file("no favorites here");
    const std::string title = UniqueTitle("Marigold homeless");
    {
        RedirectedShellFolder redirect("Favorites", missing);
        char path[MAX_PATH] = "";
        REQUIRE_FALSE(::SHGetSpecialFolderPathA(NULL, path, CSIDL_FAVORITES, FALSE));

        CreateInternetShortcut(title.c_str(), kUrl);
    }
    CHECK_FALSE(Exists(missing));
    CHECK(EntriesIn(realFavorites, title).empty());
    CHECK(EntriesIn(scratch.path(), title).empty());
    CHECK(SpecialFolder(CSIDL_FAVORITES) == realFavorites);
}
