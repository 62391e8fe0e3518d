#include <windows.h>

#include <atomic>
#include <cstdio>

#include "platform/Files.h"

namespace platform {

namespace {

// A handle closed on every path out.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle(handle) {}
    ~FileHandle() {
        if (valid()) ::CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle; }
    // Closes now and reports whether the close succeeded.
    bool close() {
        bool closed = ::CloseHandle(handle) != 0;
        handle = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle;
};

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// A file on a disk, not a folder, a console, a pipe or another device.
bool isRegularFile(HANDLE file) {
    if (::GetFileType(file) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION info;
    return ::GetFileInformationByHandle(file, &info) &&
           !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

HANDLE openForReading(const std::string& path) {
    // Sharing everything, so that a file another program holds open can still be read.
    return ::CreateFileA(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Reads up to count bytes; -1 on an error, 0 at the end.
long readSome(HANDLE file, char* out, std::size_t count) {
    DWORD chunk = count > 0x10000000u ? 0x10000000u : static_cast<DWORD>(count);
    DWORD got = 0;
    if (!::ReadFile(file, out, chunk, &got, nullptr)) return -1;
    return static_cast<long>(got);
}

bool writeAll(HANDLE file, const char* data, std::size_t size) {
    while (size > 0) {
        DWORD chunk = size > 0x10000000u ? 0x10000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// Everything up to and including the last separator ("" for a bare name; "C:" for a
// name relative to a drive).
std::string folderPrefix(const std::string& path) {
    std::size_t separator = path.find_last_of("/\\");
    if (separator != std::string::npos) return path.substr(0, separator + 1);
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    return "";
}

// Creates a new file beside target under a name nobody else uses.
HANDLE createTemporaryBeside(const std::string& target, std::string& temporaryPath) {
    static std::atomic<unsigned> counter{0};
    std::string prefix = folderPrefix(target);
    std::string base = target.substr(prefix.size());
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[64];
        std::snprintf(suffix, sizeof(suffix), ".tmp-%lu-%u-%lx",
                      static_cast<unsigned long>(::GetCurrentProcessId()), counter++,
                      static_cast<unsigned long>(::GetTickCount()));
        temporaryPath = prefix + "." + base + suffix;
        HANDLE file = ::CreateFileA(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// What an existing target allows: true when it is absent or a writable regular file, and
// then attributes holds what the new file should keep of it (0 for none).
bool targetMayBeReplaced(const std::string& target, DWORD& attributes) {
    attributes = 0;
    DWORD found = ::GetFileAttributesA(target.c_str());
    if (found == INVALID_FILE_ATTRIBUTES) {
        DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND;
    }
    if (found & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DEVICE))
        return false;
    // Names such as "NUL" or "COM1" answer with attributes too: only a file on a disk counts.
    FileHandle existing(::CreateFileA(target.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!existing.valid() || !isRegularFile(existing.get())) return false;
    attributes = found & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    return true;
}

// A root ("C:\", "C:", "\", "\\server\share") cannot be created, only found.
bool isRoot(const std::string& path) {
    if (path.size() == 1 && isSeparator(path[0])) return true;
    if (path.size() == 2 && path[1] == ':') return true;
    if (path.size() == 3 && path[1] == ':' && isSeparator(path[2])) return true;
    if (path.size() > 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        // "\\server\share": the share is the root of the remote folder tree.
        std::size_t server = path.find_first_of("/\\", 2);
        return server == std::string::npos ||
               path.find_first_of("/\\", server + 1) == std::string::npos;
    }
    return false;
}

bool isFolder(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool readFileStart(const std::string& path, std::size_t maxBytes, std::string& bytes,
                   std::uint64_t& length) {
    bytes.clear();
    length = 0;
    if (path.empty()) return false;
    // Without backup semantics a folder does not open at all.
    FileHandle file(openForReading(path));
    if (!file.valid() || !isRegularFile(file.get())) return false;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return false;

    std::uint64_t sizeLength = static_cast<std::uint64_t>(size.QuadPart);
    std::size_t wanted = sizeLength < maxBytes ? static_cast<std::size_t>(sizeLength) : maxBytes;
    bytes.resize(wanted);
    std::size_t total = 0;
    while (total < wanted) {
        long got = readSome(file.get(), &bytes[total], wanted - total);
        if (got < 0) return false;
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    bytes.resize(total);
    char probe;
    long more = total < wanted ? 0 : readSome(file.get(), &probe, 1);
    if (more < 0) return false;
    if (more == 0) {
        length = total;  // the end was reached: that is the length, whatever the size said
        return true;
    }
    // More bytes than the size promised means the file is being written right now.
    if (total < maxBytes) return false;
    length = sizeLength > total ? sizeLength : total + 1;
    return true;
}

bool replaceFile(const std::string& path, const void* data, std::size_t size) {
    if (path.empty() || isSeparator(path.back())) return false;
    DWORD keptAttributes = 0;
    if (!targetMayBeReplaced(path, keptAttributes)) return false;

    std::string temporary;
    FileHandle file(createTemporaryBeside(path, temporary));
    if (!file.valid()) return false;
    bool written = writeAll(file.get(), static_cast<const char*>(data), size) &&
                   ::FlushFileBuffers(file.get());
    written = file.close() && written;
    if (written && keptAttributes)
        written = ::SetFileAttributesA(temporary.c_str(), keptAttributes) != 0;
    if (!written || !::MoveFileExA(temporary.c_str(), path.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

bool makeFolders(const std::string& path) {
    if (path.empty()) return false;
    std::string folder = path;
    while (folder.size() > 1 && isSeparator(folder.back()) && !isRoot(folder)) folder.pop_back();
    if (isFolder(folder)) return true;
    if (isRoot(folder)) return false;
    if (::GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES) return false;  // a file

    std::size_t separator = folder.find_last_of("/\\");
    if (separator != std::string::npos && separator > 0) {
        std::string parent = folder.substr(0, separator + 1);
        if (!makeFolders(parent)) return false;
    }
    if (!::CreateDirectoryA(folder.c_str(), nullptr) &&
        ::GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    return isFolder(folder);
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || isSeparator(folder.back())) return folder + name;
    return folder + "\\" + name;
}

std::size_t lastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

std::string currentDirectory() {
    DWORD needed = ::GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return "";
    std::string folder(needed, '\0');
    DWORD length = ::GetCurrentDirectoryA(needed, &folder[0]);
    if (length == 0 || length >= needed) return "";
    folder.resize(length);
    return folder;
}

std::string executablePath() {
    // The size is not known in advance: grow until the whole path fits.
    for (DWORD capacity = MAX_PATH; capacity <= 32768; capacity *= 2) {
        std::string path(capacity, '\0');
        DWORD length = ::GetModuleFileNameA(nullptr, &path[0], capacity);
        if (length == 0) return "";
        if (length < capacity) {
            path.resize(length);
            return path;
        }
    }
    return "";
}

std::string absolutePath(const std::string& path) {
    if (path.empty()) return path;
    DWORD needed = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::string full(needed, '\0');
    DWORD length = ::GetFullPathNameA(path.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    return full;
}

char pathListSeparator() { return ';'; }

std::string userPluginFolder(const std::string&) { return ""; }

std::vector<std::string> sharedPluginFolders(const std::string&) { return {}; }

}  // namespace platform
