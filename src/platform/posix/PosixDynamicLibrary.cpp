#include <dlfcn.h>

#include "platform/DynamicLibrary.h"

namespace platform {

namespace {

class PosixDynamicLibrary : public DynamicLibrary {
public:
    explicit PosixDynamicLibrary(void* handle) : handle(handle) {}
    ~PosixDynamicLibrary() override { ::dlclose(handle); }
    PosixDynamicLibrary(const PosixDynamicLibrary&) = delete;
    PosixDynamicLibrary& operator=(const PosixDynamicLibrary&) = delete;

    void* symbol(const char* name) const override { return ::dlsym(handle, name); }

private:
    void* handle;
};

}  // namespace

std::unique_ptr<DynamicLibrary> DynamicLibrary::open(const std::string& path,
                                                     std::string& error) {
    // Local symbols, so that two plug-ins never resolve each other's functions.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = ::dlerror();
        error = "cannot load " + path + ": " + (reason ? reason : "unknown error");
        return nullptr;
    }
    return std::make_unique<PosixDynamicLibrary>(handle);
}

}  // namespace platform
