#include <windows.h>

#include "platform/DynamicLibrary.h"

namespace platform {

namespace {

class Win32DynamicLibrary : public DynamicLibrary {
public:
    explicit Win32DynamicLibrary(HMODULE module) : module(module) {}
    ~Win32DynamicLibrary() override { ::FreeLibrary(module); }
    Win32DynamicLibrary(const Win32DynamicLibrary&) = delete;
    Win32DynamicLibrary& operator=(const Win32DynamicLibrary&) = delete;

    void* symbol(const char* name) const override {
        return reinterpret_cast<void*>(::GetProcAddress(module, name));
    }

private:
    HMODULE module;
};

// The system's text for an error code, on one line.
std::string describeError(DWORD code) {
    char buffer[512] = {};
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, code, 0, buffer, sizeof(buffer), nullptr);
    std::string text(buffer, length);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    while (!text.empty() && (text.back() == ' ' || text.back() == '.')) text.pop_back();
    return text.empty() ? "error " + std::to_string(code) : text;
}

}  // namespace

std::unique_ptr<DynamicLibrary> DynamicLibrary::open(const std::string& path,
                                                     std::string& error) {
    // No message box from the system for a missing dependency: the caller reports it.
    UINT previousMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = ::LoadLibraryA(path.c_str());
    DWORD code = ::GetLastError();
    ::SetErrorMode(previousMode);
    if (!module) {
        error = "cannot load " + path + ": " + describeError(code);
        return nullptr;
    }
    return std::make_unique<Win32DynamicLibrary>(module);
}

}  // namespace platform
