#include "tools/krv-process/ShownValue.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// Probes across 0..1: fine enough that a stepped parameter shows every step, and cheap
// (one set and one display read each).
constexpr int kGrid = 1000;
// More shown texts than this read better as a range than as a list.
constexpr size_t kMostListed = 24;

bool sameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool endsWithText(const std::string& text, const std::string& end) {
    return !end.empty() && text.size() > end.size() &&
           sameText(text.substr(text.size() - end.size()), end);
}

// A shown text that starts with a decimal number: "+6.00", "4:1", "1.5 kHz".
struct ShownNumber {
    bool ok = false;
    double value = 0;
    int decimals = 0;
    std::string unit;  // the rest, lower case, without spaces
};

ShownNumber parseNumber(const std::string& text) {
    ShownNumber number;
    auto digit = [&](size_t i) { return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); };
    size_t i = 0, digits = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    for (; digit(i); ++i) ++digits;
    if (i < text.size() && text[i] == '.')
        for (++i; digit(i); ++i, ++digits) ++number.decimals;
    if (digits == 0) return number;
    number.value = std::strtod(text.substr(0, i).c_str(), nullptr);
    for (; i < text.size(); ++i)
        if (!std::isspace(static_cast<unsigned char>(text[i])))
            number.unit += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    number.ok = true;
    return number;
}

struct Wanted {
    std::string text, withoutLabel;
    ShownNumber number;

    bool matches(const std::string& shown) const {
        if (sameText(shown, text) || sameText(shown, withoutLabel)) return true;
        if (!number.ok) return false;
        ShownNumber found = parseNumber(shown);
        if (!found.ok || (!number.unit.empty() && number.unit != found.unit)) return false;
        // Equal as far as the shown text tells: within half its last digit.
        return std::fabs(found.value - number.value) <= 0.5 * std::pow(10.0, -found.decimals) + 1e-9;
    }
};

// Grid points in a row that show the same text.
struct Run {
    std::string text;
    int first, last;
};

std::string withLabel(const std::string& text, const std::string& label) {
    return label.empty() ? text : text + " " + label;
}

// "a", "a or b", "a, b or c".
std::string listed(const std::vector<std::string>& texts) {
    std::string list;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) list += i + 1 == texts.size() ? " or " : ", ";
        list += texts[i];
    }
    return list;
}

}  // namespace

std::string trimmedText(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

bool isNormalisedNumber(const std::string& text, double& value) {
    std::string plain = trimmedText(text);
    // strtod alone would also take "nan", "inf" and hexadecimal.
    if (plain.empty() || plain.find_first_not_of("+-.0123456789eE") != std::string::npos) return false;
    char* end = nullptr;
    value = std::strtod(plain.c_str(), &end);
    return *end == '\0' && value >= 0.0 && value <= 1.0;
}

ShownValueSearch findShownValue(const ShownParameter& parameter, const std::string& wantedText) {
    Wanted wanted;
    wanted.text = wanted.withoutLabel = trimmedText(wantedText);
    if (endsWithText(wanted.text, parameter.label))
        wanted.withoutLabel = trimmedText(wanted.text.substr(0, wanted.text.size() - parameter.label.size()));
    wanted.number = parseNumber(wanted.withoutLabel);

    auto shownAt = [&](float value) {
        parameter.set(value);
        return trimmedText(parameter.display());
    };
    std::vector<Run> runs;
    std::vector<std::string> texts(kGrid + 1);
    for (int i = 0; i <= kGrid; ++i) {
        texts[i] = shownAt(static_cast<float>(i) / kGrid);
        if (runs.empty() || runs.back().text != texts[i])
            runs.push_back({texts[i], i, i});
        else
            runs.back().last = i;
    }
    std::vector<std::string> distinct;
    for (const Run& run : runs) {
        bool seen = false;
        for (const std::string& text : distinct) seen = seen || text == run.text;
        if (!seen) distinct.push_back(run.text);
    }

    ShownValueSearch result;
    for (size_t k = 0; k < runs.size(); ++k) {
        const Run& run = runs[k];
        if (!wanted.matches(run.text)) continue;
        result.found = true;
        // A stepped parameter whose k-th step sits at k / (steps - 1) gets that value, as
        // its own presets and editor would set it; otherwise the middle of the run.
        if (distinct.size() == runs.size() && runs.size() > 1) {
            result.value = static_cast<float>(static_cast<double>(k) / static_cast<double>(runs.size() - 1));
            if (shownAt(result.value) == run.text) return result;
        }
        result.value = static_cast<float>((run.first + run.last) / 2) / kGrid;
        if (shownAt(result.value) != run.text) result.value = static_cast<float>(run.first) / kGrid;
        return result;
    }

    // A number between two neighbouring probes: bisect, the shown number being monotonic
    // between them.
    for (int i = 0; wanted.number.ok && i < kGrid; ++i) {
        ShownNumber a = parseNumber(texts[i]), b = parseNumber(texts[i + 1]);
        const double target = wanted.number.value;
        if (!a.ok || !b.ok || (target - a.value) * (target - b.value) >= 0) continue;
        if (!wanted.number.unit.empty() && (a.unit != wanted.number.unit || b.unit != wanted.number.unit))
            continue;
        const bool rising = a.value < b.value;
        float low = static_cast<float>(i) / kGrid, high = static_cast<float>(i + 1) / kGrid;
        for (;;) {
            float middle = low + (high - low) / 2;
            if (middle <= low || middle >= high) break;
            std::string shown = shownAt(middle);
            if (wanted.matches(shown)) {
                result.found = true;
                result.value = middle;
                return result;
            }
            ShownNumber number = parseNumber(shown);
            if (!number.ok) break;
            ((number.value < target) == rising ? low : high) = middle;
        }
        // The shown number steps over the wanted one.
        if (result.nearest.empty())
            result.nearest = withLabel(shownAt(low), parameter.label) + " and " +
                             withLabel(shownAt(high), parameter.label);
    }

    if (distinct.size() <= kMostListed) {
        for (std::string& text : distinct) text = withLabel(text, parameter.label);
        result.shows = listed(distinct);
    } else {
        result.shows = withLabel(texts.front(), parameter.label) + " to " + withLabel(texts.back(), parameter.label);
    }
    return result;
}
