#include "platform/common/DesktopScale.h"

#include <cstdint>
#include <cstdlib>

namespace platform {

namespace {

constexpr double kStandardDpi = 96.0;

// A reader of the XSETTINGS blob that refuses to go past its end.
class Reader {
public:
    Reader(const unsigned char* bytes, std::size_t size, bool bigEndian)
        : bytes(bytes), size(size), bigEndian(bigEndian) {}

    bool skip(std::size_t count) {
        if (count > size - at) return false;
        at += count;
        return true;
    }
    bool card8(uint32_t& value) { return number(1, value); }
    bool card16(uint32_t& value) { return number(2, value); }
    bool card32(uint32_t& value) { return number(4, value); }
    bool text(std::size_t length, std::string& value) {
        if (length > size - at) return false;
        value.assign(reinterpret_cast<const char*>(bytes + at), length);
        at += length;
        return true;
    }

private:
    bool number(std::size_t width, uint32_t& value) {
        if (width > size - at) return false;
        value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            std::size_t index = bigEndian ? at + i : at + width - 1 - i;
            value = (value << 8) | bytes[index];
        }
        at += width;
        return true;
    }

    const unsigned char* bytes;
    std::size_t size;
    bool bigEndian;
    std::size_t at = 0;
};

std::size_t padded(std::size_t length) { return (length + 3) & ~std::size_t(3); }

}  // namespace

std::optional<double> xftDpiOf(const std::string& resources) {
    const std::string name = "Xft.dpi:";
    std::size_t line = 0;
    while (line < resources.size()) {
        std::size_t end = resources.find('\n', line);
        if (end == std::string::npos) end = resources.size();
        if (resources.compare(line, name.size(), name) == 0) {
            std::string value = resources.substr(line + name.size(), end - line - name.size());
            char* parsed = nullptr;
            double dpi = std::strtod(value.c_str(), &parsed);
            if (parsed != value.c_str() && dpi > 0.0 && dpi < 10000.0) return dpi;
            return std::nullopt;
        }
        line = end + 1;
    }
    return std::nullopt;
}

XSettingsScale readXSettings(const unsigned char* bytes, std::size_t size) {
    XSettingsScale found;
    if (!bytes || size < 12) return found;
    Reader in(bytes, size, bytes[0] != 0);
    uint32_t count = 0, serial = 0;
    if (!in.skip(4) || !in.card32(serial) || !in.card32(count)) return found;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t type = 0, nameLength = 0, lastChange = 0;
        std::string name;
        if (!in.card8(type) || !in.skip(1) || !in.card16(nameLength) ||
            !in.text(nameLength, name) || !in.skip(padded(nameLength) - nameLength) ||
            !in.card32(lastChange))
            return found;
        if (type == 0) {  // an integer
            uint32_t value = 0;
            if (!in.card32(value)) return found;
            const int number = static_cast<int32_t>(value);
            if (name == "Xft/DPI" && number > 0) found.dpi1024 = number;
            if (name == "Gdk/WindowScalingFactor" && number > 0) found.windowScalingFactor = number;
        } else if (type == 1) {  // a string
            uint32_t length = 0;
            if (!in.card32(length) || !in.skip(padded(length))) return found;
        } else if (type == 2) {  // a colour
            if (!in.skip(8)) return found;
        } else {
            return found;
        }
    }
    return found;
}

double x11DesktopFactor(std::optional<double> xftDpi, const XSettingsScale& settings) {
    if (xftDpi) return *xftDpi / kStandardDpi;
    if (settings.dpi1024) return *settings.dpi1024 / 1024.0 / kStandardDpi;
    if (settings.windowScalingFactor) return *settings.windowScalingFactor;
    return 1.0;
}

double windowsDesktopFactor(unsigned dpi, bool dpiAware) {
    if (!dpiAware || dpi == 0) return 1.0;
    return dpi / kStandardDpi;
}

}  // namespace platform
