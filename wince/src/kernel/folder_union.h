// Inside the device: where a path below a joined folder really lives (see
// FolderUnion in device/device.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wce {

// `posixPath` led into the joined folder when it lies below an entry of a
// joined folder and the joined folder holds an entry of that name (folded
// case); otherwise `posixPath` unchanged.
std::string ResolveJoinedPath(const std::string& posixPath);

// The folder joined to `posixFolder` when that is itself a joined folder
// ("/a/Sounds" and "/a//Sounds/" alike); nothing otherwise.
std::optional<std::string> JoinedFolderOf(const std::string& posixFolder);

// Same name once both are case-folded, as the device compares file names.
bool SameFoldedName(std::wstring_view a, std::wstring_view b);

}  // namespace wce
