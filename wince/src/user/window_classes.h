// Looking up registered window classes.
#pragma once

#include <windows.h>

#include <memory>

#include "user/user_state.h"

namespace wce::user {

// By name (any case) or by atom; null when not registered. DeviceLock() held.
std::shared_ptr<WindowClass> FindClass(LPCWSTR nameOrAtom);
// Whether `nameOrAtom` (a name in any case, or the atom) names this class.
bool ClassMatches(const WindowClass& cls, LPCWSTR nameOrAtom);

}  // namespace wce::user
