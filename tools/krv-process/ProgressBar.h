// A one-line progress bar on stderr, shown only when stderr is a terminal.
#pragma once

#include <cstdint>

class ProgressBar {
public:
    // Shown only for inputs long enough to be worth watching.
    ProgressBar(int64_t total, bool worthShowing);
    void update(int64_t done);
    void finish();

private:
    int64_t total;
    bool visible;
    int lastPercent = -1;
};
