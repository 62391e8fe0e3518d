// The registry backend of the settings store. Keys are written machine-wide
// (HKEY_LOCAL_MACHINE, where every user and instance finds them) and, for a user without
// administrator rights, under HKEY_CURRENT_USER instead. A read takes the user's key when
// there is one, else the machine's.
#pragma once

namespace platform::win32 {

// Tests only: while denied, writes under HKEY_LOCAL_MACHINE fail as they do for a user
// without administrator rights (inside Wine everybody may write there).
void denyMachineWideWritesForTesting(bool deny);

}  // namespace platform::win32
