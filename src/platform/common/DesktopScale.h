// Reading the factor out of what a desktop publishes, without a display: the X resource
// string, the XSETTINGS blob and a window's dots per inch.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// The Xft.dpi value of an X resource string ("Xft.dpi:\t144\n..."); none when absent or
// not a positive number.
std::optional<double> xftDpiOf(const std::string& resources);

struct XSettingsScale {
    std::optional<int> dpi1024;              // Xft/DPI: dots per inch in 1024ths
    std::optional<int> windowScalingFactor;  // Gdk/WindowScalingFactor
};

// The two settings out of an _XSETTINGS_SETTINGS property; whatever cannot be read (short,
// damaged or foreign bytes) is left out.
XSettingsScale readXSettings(const unsigned char* bytes, std::size_t size);

// The desktop's factor on X11: Xft.dpi, then Xft/DPI, then Gdk/WindowScalingFactor, else 1.
double x11DesktopFactor(std::optional<double> xftDpi, const XSettingsScale& settings);

// The factor of a window on Windows: 1 for a window that is not aware of dots per inch
// (the system stretches it), else dpi over 96.
double windowsDesktopFactor(unsigned dpi, bool dpiAware);

}  // namespace platform
