// Which factor the editor is drawn at: the sources that may name one, in their order, and
// the user's zoom kept for every instance.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace editor_scale {

// To the nearest quarter between 1 and 3; anything below 1.125 (or not a number) is 1.
double rounded(double factor);

struct ScaleSources {
    std::optional<double> forced;  // KRV_UI_SCALE in the environment
    std::optional<double> user;    // the zoom the user chose; none for Auto
    std::optional<double> host;    // the factor the host gave, absolute
    double desktop = 1.0;          // what the desktop asks for
};

// The first source that names a factor, rounded.
double chooseScale(const ScaleSources& sources);

// The zooms the editor's menu offers, in percent; Auto is none.
const std::vector<int>& zoomChoices();
// The user's zoom as stored for every instance; none for Auto, for nothing stored and for
// anything unreadable.
std::optional<double> storedZoom();
bool storeZoom(std::optional<double> zoom);
// KRV_UI_SCALE, when set to a number.
std::optional<double> forcedScale();

}  // namespace editor_scale
