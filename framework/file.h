// CFile: a file opened for writing whose every failure (create, write, flush, close) raises a CFileException.
// CFileStatus / CFile::GetStatus: the framework's "is something there" query.
#pragma once

#include <windows.h>

#include "cstring.h"
#include "handles.h"

class CFileException {
public:
    enum Cause { none = 0, generic, fileNotFound, badPath, accessDenied, sharingViolation, diskFull };

    CFileException(Cause cause, LONG osError, const CString& fileName = CString())
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

    static Cause CauseFromOsError(LONG osError);

    Cause m_cause;
    LONG m_lOsError;         // the system error code (GetLastError)
    CString m_strFileName;   // set for create and write failures
};

struct CFileStatus {
    DWORD m_attribute = 0;
    CString m_szFullName;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeWrite = 0x0001,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
    };

    CFile() = default;
    // Opens `fileName` (only modeCreate | modeWrite is supported: create or truncate, write access,
    // not shared, inheritable unless modeNoInherit). Throws CFileException on failure.
    CFile(LPCSTR fileName, UINT openFlags);
    // Closing quietly: errors at this point cannot be reported any more. Call Close() to see them.
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Writes all `count` bytes; a short write is disk full. Throws CFileException.
    void Write(const void* data, UINT count);
    // Pushes what was written through the system's cache onto the disk. Throws CFileException.
    void Flush();
    // Closes the file; throws CFileException when the system reports a failure.
    void Close();
    // Closes without reporting anything (after another failure).
    void Abort();

    bool IsOpen() const { return handle_.valid(); }

    // TRUE when an entry (file, hidden or system file, or folder) exists at `fileName` on a volume
    // that answers. Fills `status` with its attributes, and with the full path of `fileName` also
    // when nothing is there.
    static BOOL GetStatus(LPCSTR fileName, CFileStatus& status);

private:
    UniqueHandle handle_;
    CString fileName_;
};
