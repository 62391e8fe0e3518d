#include "tools/krv-process/ProgressBar.h"

#include <unistd.h>

#include <cstdio>

ProgressBar::ProgressBar(int64_t total, bool worthShowing)
    : total(total), visible(worthShowing && total > 0 && isatty(STDERR_FILENO)) {}

void ProgressBar::update(int64_t done) {
    if (!visible) return;
    int percent = static_cast<int>(100 * done / total);
    if (percent == lastPercent) return;
    lastPercent = percent;
    constexpr int kWidth = 40;
    int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################",
                 kWidth - filled, "", percent);
    std::fflush(stderr);
}

void ProgressBar::finish() {
    if (visible) std::fprintf(stderr, "\r%*s\r", 48, "");
}
