// Any bytes as the XSETTINGS manager's property and as the X resource string, the two
// things a desktop publishes its factor in. Reading stays within the bytes, and whatever
// is read gives a factor the editor can use.
#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "platform/common/DesktopScale.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::XSettingsScale settings = platform::readXSettings(data, size);
    require(!settings.dpi1024 || *settings.dpi1024 > 0, "a dpi read is positive");
    require(!settings.windowScalingFactor || *settings.windowScalingFactor > 0,
            "a window scaling factor read is positive");
    std::optional<double> dpi =
        platform::xftDpiOf(std::string(reinterpret_cast<const char*>(data), size));
    require(!dpi || (*dpi > 0.0 && std::isfinite(*dpi)), "an Xft.dpi read is a positive number");
    double factor = platform::x11DesktopFactor(dpi, settings);
    require(std::isfinite(factor) && factor > 0.0, "the desktop's factor is a positive number");
    return 0;
}
