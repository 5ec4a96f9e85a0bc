// CFile under Wine on real files: what is written arrives, and each failure raises CFileException with
// the system's error code and the file name.
#include <doctest.h>

#include "file.h"
#include "test_support.h"

using namespace testing_support;

namespace {
const UINT kCreateWrite = CFile::modeCreate | CFile::modeWrite;

// Runs `open` and returns the exception it raised (cause none when it raised nothing).
template <class F>
CFileException Raised(F open)
{
    try {
        open();
    } catch (const CFileException& e) {
        return e;
    }
    return CFileException(CFileException::none, 0);
}
}  // namespace

TEST_CASE("CFile writes exactly the bytes given and truncates an existing file")
{
    ScratchDir dir;
    const std::string path = dir.file("data.bin");
    REQUIRE(WriteAll(path, std::string(5000, 'x')));

    std::vector<unsigned char> payload(70000);
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<unsigned char>(i * 7 + (i >> 8));
    {
        CFile file(path.c_str(), kCreateWrite);
        CHECK(file.IsOpen());
        file.Write(payload.data(), static_cast<UINT>(payload.size()));
        file.Write(payload.data(), 0);
        file.Close();
        CHECK_FALSE(file.IsOpen());
    }
    CHECK(ReadAll(path) == payload);
}

TEST_CASE("CFile holds the file exclusively while it is open")
{
    ScratchDir dir;
    const std::string path = dir.file("held.bin");
    CFile file(path.c_str(), kCreateWrite);
    HANDLE other = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    CHECK(other == INVALID_HANDLE_VALUE);
    CHECK(::GetLastError() == ERROR_SHARING_VIOLATION);
    if (other != INVALID_HANDLE_VALUE) ::CloseHandle(other);
}

TEST_CASE("CFile failures raise CFileException with the error code and the name")
{
    ScratchDir dir;

    SUBCASE("a missing folder is path not found")
    {
        const std::string path = dir.file("no such folder\\file.bin");
        const CFileException e = Raised([&] { CFile file(path.c_str(), kCreateWrite); });
        CHECK(e.m_lOsError == ERROR_PATH_NOT_FOUND);
        CHECK(e.m_cause == CFileException::badPath);
        CHECK(std::string(e.m_strFileName) == path);
        CHECK_FALSE(Exists(path));
    }

    SUBCASE("a read-only file is access denied and stays unchanged")
    {
        const std::string path = dir.file("readonly.bin");
        REQUIRE(WriteAll(path, "keep me"));
        REQUIRE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
        const CFileException e = Raised([&] { CFile file(path.c_str(), kCreateWrite); });
        CHECK(e.m_lOsError == ERROR_ACCESS_DENIED);
        CHECK(e.m_cause == CFileException::accessDenied);
        CHECK(std::string(e.m_strFileName) == path);
        CHECK(ReadAll(path) == Bytes("keep me"));
    }

    SUBCASE("a directory cannot be opened as a file")
    {
        const std::string path = dir.file("folder");
        REQUIRE(::CreateDirectoryA(path.c_str(), NULL));
        const CFileException e = Raised([&] { CFile file(path.c_str(), kCreateWrite); });
        CHECK(e.m_cause != CFileException::none);
        CHECK(e.m_lOsError != 0);
        CHECK((::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0);
    }
}

TEST_CASE("CFile::GetStatus finds files and folders and nothing else")
{
    ScratchDir dir;
    const std::string file = dir.file("there.txt");
    REQUIRE(WriteAll(file, "x"));
    CFileStatus status;

    CHECK(CFile::GetStatus(file.c_str(), status));
    CHECK((status.m_attribute & FILE_ATTRIBUTE_DIRECTORY) == 0);
    CHECK(std::string(static_cast<LPCSTR>(status.m_szFullName)) == file);

    REQUIRE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    CHECK(CFile::GetStatus(file.c_str(), status));

    CHECK(CFile::GetStatus(dir.path().c_str(), status));
    CHECK((status.m_attribute & FILE_ATTRIBUTE_DIRECTORY) != 0);

    CHECK_FALSE(CFile::GetStatus(dir.file("missing.txt").c_str(), status));
    CHECK(std::string(static_cast<LPCSTR>(status.m_szFullName)) == dir.file("missing.txt"));
    CHECK_FALSE(CFile::GetStatus(dir.file("missing\\there.txt").c_str(), status));
    CHECK_FALSE(CFile::GetStatus(dir.file("*.txt").c_str(), status));
    // A drive letter with no volume behind it counts as nothing there.
    CHECK_FALSE(CFile::GetStatus("Q:\\Marigold.scr", status));
}
