// Icons and cursors from LoadIconW and LoadCursorW, for whoever shows them
// (the host may give its window the program's icon).
#pragma once

#include <windows.h>

#include <memory>

#include "kernel/handles.h"
#include "shell/dib.h"

namespace wce::shell {

// Icon and cursor handles: a kind of our own, well clear of the kernel's.
constexpr HandleKind kIconHandleKind = HandleKind::Icon;

// The picture behind an icon handle (0xAARRGGBB, top-down); null for a bad
// handle and for the stock cursors and icons, which have none here.
std::shared_ptr<const Picture> IconPicture(HICON icon);

}  // namespace wce::shell
