#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/Files.h"

namespace platform {

namespace {

// A descriptor closed on every path out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd; }
    // Closes now and reports whether the close succeeded (a late write error shows here).
    bool close() {
        int result = ::close(fd);
        fd = -1;
        return result == 0;
    }

private:
    int fd;
};

ssize_t readSome(int fd, char* out, std::size_t count) {
    ssize_t got;
    do got = ::read(fd, out, count);
    while (got < 0 && errno == EINTR);
    return got;
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Writes land in the file a symbolic link points to, as an ordinary overwrite would.
std::string resolveLink(const std::string& path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// Opens a new file beside target under a name nobody else uses; -1 when that fails.
int createTemporaryBeside(const std::string& target, std::string& temporaryPath) {
    static std::atomic<unsigned> counter{0};
    std::string folder = folderOf(target);
    std::string base = target.substr(target.find_last_of('/') + 1);
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[64];
        std::snprintf(suffix, sizeof(suffix), ".tmp-%ld-%u-%lx", static_cast<long>(::getpid()),
                      counter++, static_cast<unsigned long>(std::time(nullptr)));
        // Hidden, so a file dialog never offers a half-written file.
        temporaryPath = folder + "/." + base + suffix;
        int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // best effort: the rename itself has already happened
    ::close(fd);
}

}  // namespace

bool readFileStart(const std::string& path, std::size_t maxBytes, std::string& bytes,
                   std::uint64_t& length) {
    bytes.clear();
    length = 0;
    // Non-blocking, so that a named pipe cannot stall the caller at open.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) return false;
    struct stat info;
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;

    std::uint64_t statLength = static_cast<std::uint64_t>(info.st_size);
    std::size_t wanted = statLength < maxBytes ? static_cast<std::size_t>(statLength) : maxBytes;
    bytes.resize(wanted);
    std::size_t total = 0;
    while (total < wanted) {
        ssize_t got = readSome(file.get(), &bytes[total], wanted - total);
        if (got < 0) return false;
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    bytes.resize(total);
    char probe;
    ssize_t more = total < wanted ? 0 : readSome(file.get(), &probe, 1);
    if (more < 0) return false;
    if (more == 0) {
        length = total;  // the end was reached: that is the length, whatever stat said
        return true;
    }
    // More bytes than stat promised means the file is being written right now.
    if (total < maxBytes) return false;
    length = statLength > total ? statLength : total + 1;
    return true;
}

bool replaceFile(const std::string& path, const void* data, std::size_t size) {
    if (path.empty()) return false;
    std::string target = resolveLink(path);
    struct stat existing;
    bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && (!S_ISREG(existing.st_mode) || ::access(target.c_str(), W_OK) != 0))
        return false;

    std::string temporary;
    Descriptor file(createTemporaryBeside(target, temporary));
    if (file.get() < 0) return false;
    bool written = writeAll(file.get(), static_cast<const char*>(data), size) &&
                   (!exists || ::fchmod(file.get(), existing.st_mode & 07777) == 0) &&
                   ::fsync(file.get()) == 0;
    written = file.close() && written;
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folderOf(target));
    return true;
}

bool makeFolders(const std::string& path) {
    if (path.empty()) return false;
    struct stat info;
    if (::stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
    std::string parent = folderOf(path);
    if (parent != path && !makeFolders(parent)) return false;
    if (::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST)
        return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    return false;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::size_t lastSeparator(const std::string& path) { return path.rfind('/'); }

std::string currentDirectory() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

std::string executablePath() {
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer));
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof(buffer)) return "";
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string absolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    std::string folder = currentDirectory();
    return folder.empty() ? path : joinPath(folder, path);
}

char pathListSeparator() { return ':'; }

std::string userPluginFolder(const std::string& kind) {
    const char* home = std::getenv("HOME");
    return home && home[0] ? joinPath(home, "." + kind) : std::string();
}

std::vector<std::string> sharedPluginFolders(const std::string& kind) {
    return {"/usr/local/lib/" + kind, "/usr/lib/" + kind};
}

}  // namespace platform
