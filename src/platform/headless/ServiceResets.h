// Each headless service forgets its scripted answers and records; resetServices runs them all.
#pragma once

namespace platform::headless::detail {

void resetMenus();
void resetEditBoxes();
void resetFileDialogs();

}  // namespace platform::headless::detail
