#include "file.h"

#include <string.h>

#include "paths.h"

CFileException::Cause CFileException::CauseFromOsError(LONG osError)
{
    switch (osError) {
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return badPath;
    case ERROR_ACCESS_DENIED: return accessDenied;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    default: return generic;
    }
}

static CFileException MakeException(DWORD osError, const CString& fileName)
{
    return CFileException(CFileException::CauseFromOsError(static_cast<LONG>(osError)), static_cast<LONG>(osError), fileName);
}

CFile::CFile(LPCSTR fileName, UINT openFlags) : fileName_(fileName)
{
    if ((openFlags & (modeCreate | modeWrite)) != (modeCreate | modeWrite))
        throw CFileException(CFileException::generic, ERROR_INVALID_PARAMETER, fileName_);

    SECURITY_ATTRIBUTES sa = {};
    sa.nLength = sizeof(sa);
    sa.bInheritHandle = (openFlags & modeNoInherit) ? FALSE : TRUE;
    HANDLE h = ::CreateFileA(fileName, GENERIC_WRITE, 0, &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) throw MakeException(::GetLastError(), fileName_);
    handle_.reset(h);
}

CFile::~CFile() { Abort(); }

void CFile::Write(const void* data, UINT count)
{
    if (count == 0) return;
    DWORD written = 0;
    if (!::WriteFile(handle_.get(), data, count, &written, NULL)) throw MakeException(::GetLastError(), fileName_);
    // Windows reports a full disk as a successful write of fewer bytes.
    if (written != count) throw CFileException(CFileException::diskFull, ERROR_DISK_FULL, fileName_);
}

void CFile::Flush()
{
    if (!::FlushFileBuffers(handle_.get())) throw MakeException(::GetLastError(), fileName_);
}

void CFile::Close()
{
    if (!handle_.valid()) return;
    if (!handle_.reset()) throw CFileException(CFileException::generic, static_cast<LONG>(::GetLastError()));
}

void CFile::Abort() { handle_.reset(); }

BOOL CFile::GetStatus(LPCSTR fileName, CFileStatus& status)
{
    status = CFileStatus();
    // A wildcard names no one entry.
    if (!fileName || ::strpbrk(fileName, "*?")) return FALSE;
    // Also when nothing is there: a caller that goes on to create the file needs no second pass.
    status.m_szFullName = FullPath(fileName);
    if (status.m_szFullName.IsEmpty()) return FALSE;

    // One question to the file system (a volume query and a directory search cost about forty times
    // as much under Wine); a missing drive or folder fails it as well.
    WIN32_FILE_ATTRIBUTE_DATA found;
    if (!::GetFileAttributesExA(status.m_szFullName, GetFileExInfoStandard, &found)) return FALSE;
    status.m_attribute = found.dwFileAttributes;
    return TRUE;
}
