// Installing the test program's own embedded files onto real files: extraction, the version check,
// and every way an installation can fail without harming what is already installed. Each case works
// in a folder of its own, whose every entry is checked, with no usable temporary folder at all.
#include <doctest.h>

#include <string>
#include <vector>

#include "file_swap.h"
#include "paths.h"
#include "payload_ids.h"
#include "registry_key.h"
#include "resource_file.h"
#include "test_support.h"

using namespace testing_support;

namespace {

LPCSTR Id(int id) { return MAKEINTRESOURCEA(id); }

const LPCSTR kData = MAKEINTRESOURCEA(10);  // RT_RCDATA
typedef std::vector<std::string> Names;

// Points TMP and TEMP of this process at `folder` (which need not exist) and restores them afterwards.
class TempFolderOverride {
public:
    explicit TempFolderOverride(const std::string& folder)
    {
        for (int i = 0; i < 2; ++i) {
            char value[MAX_PATH] = "";
            const DWORD length = ::GetEnvironmentVariableA(kNames[i], value, MAX_PATH);
            had_[i] = length > 0 && length < MAX_PATH;
            saved_[i] = had_[i] ? value : "";
            ::SetEnvironmentVariableA(kNames[i], folder.c_str());
        }
    }
    ~TempFolderOverride()
    {
        for (int i = 0; i < 2; ++i) ::SetEnvironmentVariableA(kNames[i], had_[i] ? saved_[i].c_str() : NULL);
    }
    TempFolderOverride(const TempFolderOverride&) = delete;
    TempFolderOverride& operator=(const TempFolderOverride&) = delete;

private:
    static constexpr const char* kNames[2] = {"TMP", "TEMP"};
    bool had_[2] = {};
    std::string saved_[2];
};

// A scratch folder, with TMP and TEMP pointing at a folder that does not exist: nothing may need one.
struct InstallCase {
    ScratchDir dir;
    TempFolderOverride noTemp{dir.file("no such folder") + "\\"};

    std::string target(const char* name = "target.bin") const { return dir.file(name); }
    Names entries() const { return EntriesIn(dir.path()); }
};

std::vector<unsigned char> BuildBytes(const char* name) { return ReadAll(BuildFile(name)); }

bool WriteBuildFile(const std::string& path, const char* name)
{
    const std::vector<unsigned char> bytes = BuildBytes(name);
    return !bytes.empty() && WriteAll(path, bytes.data(), bytes.size());
}

// A copy of a fixture program, started from `path` and kept running (Windows then refuses to delete
// or replace the file, but lets it be renamed), ended at scope exit.
class RunningProgram {
public:
    explicit RunningProgram(const std::string& path)
    {
        std::string commandLine = "\"" + path + "\" wait";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        if (!::CreateProcessA(path.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process_))
            return;
        ::CloseHandle(process_.hThread);
        // Running for Windows once its image can no longer be deleted.
        for (int i = 0; i < 100 && !running_; ++i) {
            running_ = !::DeleteFileA(path.c_str()) && ::GetLastError() == ERROR_ACCESS_DENIED;
            if (!running_) ::Sleep(50);
        }
    }
    ~RunningProgram()
    {
        if (!process_.hProcess) return;
        ::TerminateProcess(process_.hProcess, 0);
        ::WaitForSingleObject(process_.hProcess, 10000);
        ::CloseHandle(process_.hProcess);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool running() const { return running_; }

private:
    PROCESS_INFORMATION process_ = {};
    bool running_ = false;
};

// The files the system will delete at its next restart (MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT).
std::vector<std::string> PendingDeletions()
{
    std::vector<std::string> files;
    RegistryKey key;
    DWORD size = 0;
    std::vector<char> value;
    if (key.Open(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", KEY_QUERY_VALUE) &&
        ::RegQueryValueExA(key.get(), "PendingFileRenameOperations", NULL, NULL, NULL, &size) == ERROR_SUCCESS && size) {
        value.resize(size + 2);
        ::RegQueryValueExA(key.get(), "PendingFileRenameOperations", NULL, NULL, reinterpret_cast<BYTE*>(value.data()), &size);
    }
    // Pairs of "\??\source" and a target, which is empty for a deletion (the value ends in two spare NULs).
    for (size_t i = 0; i < size;) {
        const std::string source(&value[i]), target(&value[i + source.size() + 1]);
        if (target.empty() && source.size() > 4) files.push_back(source.substr(4));
        i += source.size() + target.size() + 2;
    }
    return files;
}

// Stands in for MoveFileExA and refuses to move the new copies (prefix "scs"): every other move is real.
BOOL WINAPI RefuseToMoveNewCopies(LPCSTR existing, LPCSTR newName, DWORD flags)
{
    const std::string name = existing;
    if (name.find("\\scs") != std::string::npos) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return ::MoveFileExA(existing, newName, flags);
}

}  // namespace

TEST_CASE("resources are written byte for byte where nothing was installed")
{
    InstallCase c;
    REQUIRE(BuildBytes("blob.bin").size() >= 196608);

    struct Case { LPCSTR name; LPCSTR type; const char* source; };
    const Case cases[] = {
        {Id(ID_BLOB), kData, "blob.bin"},
        {Id(ID_PICTURE), "MYBITMAP", "picture.bmp"},
        {"CHIME", "WAVE", "chime.wav"},
        {Id(ID_EMPTY), kData, "empty.bin"},
        {Id(ID_IMAGE_NEWER), kData, "version_v251.exe"},
    };
    Names written;
    for (const Case& k : cases) {
        const std::string source = k.source;
        CAPTURE(source);
        CHECK(ExtractResource(c.target(k.source).c_str(), k.name, k.type) == 1);
        CHECK(ReadAll(c.target(k.source)) == BuildBytes(k.source));
        const std::string installed = std::string("installed-") + k.source;
        CHECK(InstallResourceFile(c.target(installed.c_str()).c_str(), k.name, k.type) == 1);
        CHECK(ReadAll(c.target(installed.c_str())) == BuildBytes(k.source));
        written.push_back(k.source);
        written.push_back(installed);
    }
    std::sort(written.begin(), written.end());
    CHECK(c.entries() == written);
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
    CHECK(ExtractResource(c.dir.file("missing\\file.bin").c_str(), Id(ID_BLOB), kData) == 0);
    CHECK(c.entries() == Names{"target.bin"});
}

TEST_CASE("a newer installed file is kept and anything else is replaced")
{
    InstallCase c;
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
        REQUIRE(WriteBuildFile(path, k.installed));
        CHECK(InstallResourceFile(path.c_str(), Id(k.embedded), kData) == 1);
        const char* expected = k.kept ? k.installed : k.embedded == ID_IMAGE_OLDER ? "version_v100.exe" : "version_v251.exe";
        CHECK(ReadAll(path) == BuildBytes(expected));
        CHECK(c.entries() == Names{"saver.scr"});
    }

    // Files without versions are rewritten on every run.
    REQUIRE(WriteAll(c.target("chime.wav"), "old sound"));
    CHECK(InstallResourceFile(c.target("chime.wav").c_str(), "CHIME", "WAVE") == 1);
    CHECK(ReadAll(c.target("chime.wav")) == BuildBytes("chime.wav"));
    CHECK(c.entries() == (Names{"chime.wav", "saver.scr"}));

    // Whatever the user's temporary folder is, it is not needed: here it is a file.
    REQUIRE(WriteAll(c.target("not a folder"), "x"));
    TempFolderOverride notFolder(c.target("not a folder") + "\\");
    REQUIRE(WriteBuildFile(path, "version_commas.exe"));
    CHECK(InstallResourceFile(path.c_str(), Id(ID_IMAGE_NEWER), kData) == 1);
    CHECK(ReadAll(path) == BuildBytes("version_v251.exe"));
}

TEST_CASE("an installed file that cannot be replaced stays as it was")
{
    InstallCase c;
    const std::string path = c.target("saver.scr");
    const std::vector<unsigned char> older = BuildBytes("version_commas.exe");
    REQUIRE(WriteAll(path, older.data(), older.size()));

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
    SUBCASE("held open by a program that lets others read it but not delete it (a scanner)")
    {
        HANDLE scanner = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        REQUIRE(scanner != INVALID_HANDLE_VALUE);
        CHECK(InstallResourceFile(path.c_str(), Id(ID_IMAGE_NEWER), kData) == 0);
        ::CloseHandle(scanner);
        CHECK(ReadAll(path) == older);
    }
    SUBCASE("the move into place fails")
    {
        CString newCopy = CreateFileBeside(path.c_str(), kNewCopyPrefix);
        REQUIRE_FALSE(newCopy.IsEmpty());
        REQUIRE(WriteAll(static_cast<LPCSTR>(newCopy), "new"));
        CHECK_FALSE(MoveIntoPlace(newCopy, path.c_str(), RefuseToMoveNewCopies));
        CHECK(ReadAll(path) == older);
        CHECK(ReadAll(static_cast<LPCSTR>(newCopy)) == Bytes("new"));
        ::DeleteFileA(newCopy);
    }
    SUBCASE("a folder of that name")
    {
        REQUIRE(::DeleteFileA(path.c_str()));
        REQUIRE(::CreateDirectoryA(path.c_str(), NULL));
        CHECK(InstallResourceFile(path.c_str(), Id(ID_BLOB), kData) == 0);
        CHECK(ExtractResource(path.c_str(), Id(ID_BLOB), kData) == 0);
        CHECK((::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0);
    }
    SUBCASE("a missing folder")
    {
        CHECK(InstallResourceFile(c.dir.file("missing\\saver.scr").c_str(), Id(ID_BLOB), kData) == 0);
        CHECK(ReadAll(path) == older);
    }
    CHECK(c.entries() == Names{"saver.scr"});
}

TEST_CASE("a running installed program is replaced and its old copy goes at the next restart")
{
    InstallCase c;
    const std::string path = c.target("saver.scr");
    REQUIRE(WriteBuildFile(path, "version_commas.exe"));  // 1.0.0.1, older than the embedded 2.5.1
    RunningProgram preview(path);
    REQUIRE(preview.running());

    CHECK(InstallResourceFile(path.c_str(), Id(ID_IMAGE_NEWER), kData) == 1);
    CHECK(ReadAll(path) == BuildBytes("version_v251.exe"));
    // The old copy still runs under a name of its own, listed for deletion at the next restart.
    const Names names = c.entries();
    REQUIRE(names.size() == 2);
    const std::string aside = names[0] == "saver.scr" ? names[1] : names[0];
    CHECK(aside.compare(0, 3, kAsidePrefix) == 0);
    CHECK(ReadAll(c.dir.file(aside)) == BuildBytes("version_commas.exe"));
    const std::vector<std::string> pending = PendingDeletions();
    const auto asideFile = [&](const std::string& file) { return SamePath(file.c_str(), c.dir.file(aside).c_str()); };
    CHECK(std::any_of(pending.begin(), pending.end(), asideFile));

    // Removed the same way when it runs: the name is free at once.
    RunningProgram again(path);
    REQUIRE(again.running());
    CHECK(RemoveNowOrAtRestart(path.c_str()) == RemovalResult::removedAtRestart);
    CHECK_FALSE(Exists(path));
    CHECK(c.entries().size() == 2);
    // Nothing can be lost: a file that is not running goes at once, a read-only one stays.
    REQUIRE(WriteAll(path, "plain"));
    CHECK(RemoveNowOrAtRestart(path.c_str()) == RemovalResult::removedNow);
    REQUIRE(WriteAll(path, "protected"));
    REQUIRE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    CHECK(RemoveNowOrAtRestart(path.c_str()) == RemovalResult::failed);
    CHECK(ReadAll(path) == Bytes("protected"));
}

TEST_CASE("a missing resource leaves the installed file untouched")
{
    InstallCase c;
    // Unversioned (which a version comparison would replace) and versioned (which it would keep).
    const std::vector<unsigned char> plain = Bytes("installed earlier");
    REQUIRE(WriteAll(c.target("plain.bin"), plain.data(), plain.size()));
    REQUIRE(WriteBuildFile(c.target("versioned.exe"), "version_v251.exe"));

    CHECK(InstallResourceFile(c.target("plain.bin").c_str(), Id(ID_ABSENT), kData) == 0);
    CHECK(InstallResourceFile(c.target("versioned.exe").c_str(), "NOSUCH", "WAVE") == 0);
    CHECK(InstallResourceFile(c.target("absent.bin").c_str(), Id(ID_ABSENT), kData) == 0);
    CHECK(ReadAll(c.target("plain.bin")) == plain);
    CHECK(ReadAll(c.target("versioned.exe")) == BuildBytes("version_v251.exe"));
    CHECK(c.entries() == (Names{"plain.bin", "versioned.exe"}));
}

// Run under a file-size limit smaller than the blob, so that the write is cut short for real.
TEST_CASE("disk full leaves no partly written file")
{
    InstallCase c;
    const std::string fresh = c.target("fresh.bin");
    CHECK(ExtractResource(fresh.c_str(), Id(ID_BLOB), kData) == 0);
    CHECK(InstallResourceFile(fresh.c_str(), Id(ID_BLOB), kData) == 0);
    CHECK(c.entries().empty());

    // An older installed program that fits, and a new copy that does not: the old one stays whole.
    const std::string installed = c.target("installed.exe");
    REQUIRE(WriteBuildFile(installed, "version_commas.exe"));
    CHECK(InstallResourceFile(installed.c_str(), Id(ID_BLOB), kData) == 0);
    CHECK(ReadAll(installed) == BuildBytes("version_commas.exe"));
    CHECK(c.entries() == Names{"installed.exe"});

    // Small files still fit: the fault is the size, not the folder.
    CHECK(InstallResourceFile(c.target("picture.bmp").c_str(), Id(ID_PICTURE), "MYBITMAP") == 1);
    CHECK(ReadAll(c.target("picture.bmp")) == BuildBytes("picture.bmp"));
}
