// A fresh folder for one test, removed with everything in it afterwards; and a setting
// of one environment variable for as long as the object lives.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>

class TemporaryFolder {
public:
    // In the system's folder for temporary files, under a name no other test uses.
    TemporaryFolder() {
        std::error_code error;
        std::filesystem::path base = std::filesystem::temp_directory_path(error);
        if (error) return;
        std::random_device random;
        for (int attempt = 0; attempt < 100 && folder.empty(); ++attempt) {
            std::filesystem::path candidate = base / ("krv-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate, error)) folder = candidate.string();
        }
    }
    ~TemporaryFolder() {
        if (folder.empty()) return;
        std::error_code ignored;
        // Windows refuses to delete a read-only file.
        for (auto it = std::filesystem::recursive_directory_iterator(folder, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(folder, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return folder; }
    std::string file(const std::string& name) const {
        return (std::filesystem::path(folder) / name).make_preferred().string();
    }

    void write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories(std::filesystem::path(file(name)).parent_path());
        std::ofstream(file(name), std::ios::binary) << bytes;
    }
    // The file's bytes; empty when it cannot be read.
    std::string read(const std::string& name) const {
        std::ifstream in(file(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }
    // Names of the entries directly inside the folder, hidden ones included.
    std::size_t entryCount() const {
        return std::distance(std::filesystem::directory_iterator(folder),
                             std::filesystem::directory_iterator());
    }

private:
    std::string folder;
};

class ScopedEnvironment {
public:
    // A null value unsets the variable.
    ScopedEnvironment(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) previous = old;
        set(value);
    }
    ~ScopedEnvironment() { set(previous ? previous->c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void set(const char* value) {
#ifdef _WIN32
        ::_putenv_s(name.c_str(), value ? value : "");  // an empty value removes it
#else
        if (value)
            ::setenv(name.c_str(), value, 1);
        else
            ::unsetenv(name.c_str());
#endif
    }

    std::string name;
    std::optional<std::string> previous;
};
