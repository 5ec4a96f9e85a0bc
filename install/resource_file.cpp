#include "resource_file.h"

#include "cstring.h"
#include "file.h"
#include "version_reader.h"

namespace {

const char kVersionKey[] = "FileVersion";
const char kTempPrefix[] = "scs";

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

// A file in the user's temporary folder named by the system (prefix "scs"), deleted at scope exit.
class TemporaryFile {
public:
    TemporaryFile()
    {
        char folder[MAX_PATH] = "";
        const DWORD length = ::GetTempPathA(MAX_PATH, folder);
        if (length == 0 || length >= MAX_PATH) return;
        // Unique number 0: the system picks an unused name and creates the empty file.
        if (::GetTempFileNameA(folder, kTempPrefix, 0, path_) == 0) path_[0] = '\0';
    }
    ~TemporaryFile()
    {
        if (path_[0]) ::DeleteFileA(path_);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool named() const { return path_[0] != '\0'; }
    LPCSTR path() const { return path_; }

private:
    char path_[MAX_PATH] = "";
};

// The file version of the embedded copy, read from a temporary copy on disk. FALSE when no copy could
// be made: then the embedded version is unknown, which must not be taken for "no version".
bool ReadEmbeddedVersion(LPCSTR name, LPCSTR type, PackedVersion& version)
{
    version = 0;
    TemporaryFile copy;
    if (!copy.named() || !ExtractResource(copy.path(), name, type)) return false;
    QueryVersionValue(copy.path(), kVersionKey, NULL, 0, &version);
    return true;
}

}  // namespace

int ExtractResource(LPCSTR path, LPCSTR name, LPCSTR type)
{
    const ResourceBytes resource = FindResourceBytes(name, type);
    if (!resource.data) return 0;

    bool created = false;
    try {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        created = true;
        file.Write(resource.data, resource.size);
        file.Close();
        return 1;
    } catch (const CFileException&) {
        // Reported through the result only; the file object has closed its handle by now.
    }
    // A truncated copy at the target would pass for an installed file.
    if (created) ::DeleteFileA(path);
    return 0;
}

int InstallResourceFile(LPCSTR path, LPCSTR name, LPCSTR type)
{
    // With nothing to install, whatever is installed stays.
    if (!FindResourceBytes(name, type).data) return 0;

    CFileStatus status;
    if (!CFile::GetStatus(path, status)) return ExtractResource(path, name, type);

    PackedVersion embedded = 0;
    if (!ReadEmbeddedVersion(name, type, embedded)) return 0;
    PackedVersion installed = 0;
    QueryVersionValue(path, kVersionKey, NULL, 0, &installed);

    // Keep a newer installed copy; an equal one is rewritten.
    if (installed > embedded) return 1;
    if (!::DeleteFileA(path)) return 0;
    return ExtractResource(path, name, type);
}
