#include "editor/ScaleChoice.h"

#include <cmath>
#include <cstdlib>

#include "platform/SettingsStore.h"

namespace editor_scale {

namespace {

constexpr double kSmallest = 1.0;
constexpr double kLargest = 3.0;
constexpr char kEditorKey[] = "SOFTWARE\\KRV-soundlab\\KRVTW1\\Editor";
constexpr char kZoomValue[] = "Zoom";
constexpr char kAuto[] = "Auto";

std::optional<double> number(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (!end || *end || !std::isfinite(value) || value <= 0.0) return std::nullopt;
    return value;
}

}  // namespace

double rounded(double factor) {
    if (!(factor >= 1.125)) return kSmallest;
    return std::fmin(std::round(factor * 4.0) / 4.0, kLargest);
}

double chooseScale(const ScaleSources& sources) {
    if (sources.forced) return rounded(*sources.forced);
    if (sources.user) return rounded(*sources.user);
    if (sources.host) return rounded(*sources.host);
    return rounded(sources.desktop);
}

const std::vector<int>& zoomChoices() {
    static const std::vector<int> percents{100, 125, 150, 200, 250, 300};
    return percents;
}

std::optional<double> storedZoom() {
    platform::SettingsKey key;
    std::string text;
    if (!platform::readSettingsKey(kEditorKey, key) || !key.getString(kZoomValue, text))
        return std::nullopt;
    std::optional<double> percent = number(text);
    if (!percent) return std::nullopt;
    return *percent / 100.0;
}

bool storeZoom(std::optional<double> zoom) {
    platform::SettingsKey values;
    values.setString(kZoomValue, zoom ? std::to_string(std::lround(*zoom * 100.0)) : kAuto);
    return platform::writeSettingsValues(kEditorKey, values);
}

std::optional<double> forcedScale() {
    const char* text = std::getenv("KRV_UI_SCALE");
    return text ? number(text) : std::nullopt;
}

}  // namespace editor_scale
