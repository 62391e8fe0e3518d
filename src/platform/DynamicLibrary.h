// A shared library loaded at run time (a plug-in, as a host loads it), unloaded when the
// object goes away.
#pragma once

#include <memory>
#include <string>

namespace platform {

class DynamicLibrary {
public:
    // Loads the library at path; null with a one-line reason in error when it cannot.
    static std::unique_ptr<DynamicLibrary> open(const std::string& path, std::string& error);
    virtual ~DynamicLibrary() = default;

    // The address of an exported symbol; null when the library does not export it.
    virtual void* symbol(const char* name) const = 0;
};

}  // namespace platform
