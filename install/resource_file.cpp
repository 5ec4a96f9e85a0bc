#include "resource_file.h"

#include "cstring.h"
#include "file.h"
#include "file_swap.h"
#include "version_reader.h"

namespace {

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

// A new file beside the target, named by the system, that receives the resource; deleted at scope
// exit unless it has been moved into place.
class NewCopy {
public:
    explicit NewCopy(LPCSTR target) : path_(CreateFileBeside(target, kNewCopyPrefix)) {}
    ~NewCopy() { if (!path_.IsEmpty()) RemoveNowOrAtRestart(path_); }
    NewCopy(const NewCopy&) = delete;
    NewCopy& operator=(const NewCopy&) = delete;

    bool Extract(LPCSTR name, LPCSTR type) const { return !path_.IsEmpty() && ExtractResource(path_, name, type); }
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
    // The bytes are pushed onto the disk before success is reported, so that a power cut after
    // "installed" cannot leave a short file. A partly written file is deleted: it would pass for a
    // complete one.
    bool created = false;
    try {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        created = true;
        file.Write(resource.data, resource.size);
        file.Flush();
        file.Close();
        return 1;
    } catch (const CFileException&) {
        // Reported through the result only; the file object has closed its handle by now.
    }
    if (created) ::DeleteFileA(path);
    return 0;
}

int InstallResourceFile(LPCSTR path, LPCSTR name, LPCSTR type)
{
    // The status query makes the path absolute, also when nothing is there yet; everything below
    // works on that one full path.
    CFileStatus status;
    const bool installed = CFile::GetStatus(path, status) != FALSE;
    if (installed && (status.m_attribute & FILE_ATTRIBUTE_DIRECTORY)) return 0;
    const CString& target = status.m_szFullName;
    if (target.IsEmpty()) return 0;

    // The one write of the embedded bytes goes to a new file in the target's own folder, whose
    // permissions protect it, and reaches the target name only whole, in one move. With nothing to
    // install, whatever is installed stays.
    NewCopy copy(target);
    if (!copy.Extract(name, type)) return 0;

    if (installed) {
        // Keep a newer installed copy; an equal one is rewritten. An installed file without a version
        // (0) is never newer, so the embedded copy's version is read only when it can matter.
        PackedVersion installedVersion = 0;
        QueryVersionValue(target, kFileVersionKey, NULL, 0, &installedVersion);
        if (installedVersion != 0) {
            PackedVersion embeddedVersion = 0;
            QueryVersionValue(copy.path(), kFileVersionKey, NULL, 0, &embeddedVersion);
            if (installedVersion > embeddedVersion) return 1;
        }
    }
    return copy.MoveTo(target) ? 1 : 0;
}
