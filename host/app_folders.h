// Where the program's folders are on this machine: beside the executable in
// the staged build, under share/jostlepad once installed, and the user's own
// sound packs joined to the installed ones.
#pragma once

#include <string>
#include <vector>

#include "device/device.h"

namespace jphost {

// The folder the program appears to live in (the one holding Skin/ and
// Sounds/): `exeDir` when it holds Skin/ (the staged build), else
// <exeDir>/../share/jostlepad when that does (an installed copy), else
// `exeDir` as it is.
std::string FindAppDir(const std::string& exeDir);

// Where a person keeps sound packs of their own, without root:
// $XDG_DATA_HOME/jostlepad/Sounds (an absolute value only, as the XDG rules
// say), else $HOME/.local/share/jostlepad/Sounds; empty when neither is set
// (either may be null).
std::string UserSoundsDir(const char* xdgDataHome, const char* home);

// The user's packs joined to <appDir>/Sounds; none without a user folder.
std::vector<wce::FolderUnion> JoinedSoundFolders(const std::string& appDir, const std::string& userSoundsDir);

}  // namespace jphost
