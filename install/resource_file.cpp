#include "resource_file.h"

#include "cstring.h"
#include "file.h"
#include "file_swap.h"
#include "version_reader.h"

namespace {

const char kVersionKey[] = "FileVersion";

struct ResourceBytes {
    const void* data = NULL;
    DWORD size = 0;
};

// Resource data stays mapped for the life of the module, so nothing is released here.
ResourceBytes FindResourceBytes(LPCSTR name, LPCSTR type)
{
    ResourceBytes bytes;
    const HMODULE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceA(module, name, type);
    if (!found) return bytes;
    HGLOBAL loaded = ::LoadResource(module, found);
    if (!loaded) return bytes;
    bytes.data = ::LockResource(loaded);
    bytes.size = bytes.data ? ::SizeofResource(module, found) : 0;
    return bytes;
}

// Writes `bytes` to `path` (created or truncated) and pushes them onto the disk before reporting
// success, so that a power cut after "installed" cannot leave a short file. A partly written file
// is deleted: it would pass for a complete one.
int WriteWholeFile(LPCSTR path, const ResourceBytes& bytes)
{
    bool created = false;
    try {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        created = true;
        file.Write(bytes.data, bytes.size);
        file.Flush();
        file.Close();
        return 1;
    } catch (const CFileException&) {
        // Reported through the result only; the file object has closed its handle by now.
    }
    if (created) ::DeleteFileA(path);
    return 0;
}

// A new copy of the resource beside its target, named by the system; deleted at scope exit unless
// it has been moved into place.
class NewCopy {
public:
    explicit NewCopy(LPCSTR target) : path_(CreateFileBeside(target, kNewCopyPrefix)) {}
    ~NewCopy() { if (!path_.IsEmpty()) RemoveNowOrAtRestart(path_); }
    NewCopy(const NewCopy&) = delete;
    NewCopy& operator=(const NewCopy&) = delete;

    bool Write(const ResourceBytes& bytes) const { return !path_.IsEmpty() && WriteWholeFile(path_, bytes); }
    LPCSTR path() const { return path_; }
    bool MoveTo(LPCSTR target)
    {
        if (!MoveIntoPlace(path_, target)) return false;
        path_ = CString();
        return true;
    }

private:
    CString path_;
};

}  // namespace

int ExtractResource(LPCSTR path, LPCSTR name, LPCSTR type)
{
    const ResourceBytes resource = FindResourceBytes(name, type);
    if (!resource.data) return 0;
    return WriteWholeFile(path, resource);
}

int InstallResourceFile(LPCSTR path, LPCSTR name, LPCSTR type)
{
    // With nothing to install, whatever is installed stays.
    const ResourceBytes resource = FindResourceBytes(name, type);
    if (!resource.data) return 0;

    CFileStatus status;
    const bool installed = CFile::GetStatus(path, status) != FALSE;
    if (installed && (status.m_attribute & FILE_ATTRIBUTE_DIRECTORY)) return 0;

    // The one write of the embedded bytes goes to a new file in the target's own folder, whose
    // permissions protect it, and reaches the target name only whole, in one move.
    NewCopy copy(path);
    if (!copy.Write(resource)) return 0;

    if (installed) {
        // Keep a newer installed copy; an equal one is rewritten. An installed file without a version
        // (0) is never newer, so the embedded copy's version is read only when it can matter.
        PackedVersion installedVersion = 0;
        QueryVersionValue(path, kVersionKey, NULL, 0, &installedVersion);
        if (installedVersion != 0) {
            PackedVersion embeddedVersion = 0;
            QueryVersionValue(copy.path(), kVersionKey, NULL, 0, &embeddedVersion);
            if (installedVersion > embeddedVersion) return 1;
        }
    }
    return copy.MoveTo(path) ? 1 : 0;
}
