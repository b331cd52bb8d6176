// The device's hive: the one the regext.h functions read and change, opened
// from its file by RegistryOpenHive. Every change is saved at once.
#pragma once

#include <string_view>

#include "registry/hive.h"

namespace wce::registry {

Lookup GetValue(Root root, std::wstring_view subKey, std::wstring_view valueName, Value& out);

enum class SetResult { Ok, BadArgument, SaveFailed };
// A change that cannot be saved is undone, so memory and file always agree.
SetResult SetValue(Root root, std::wstring_view subKey, const Value& value);

}  // namespace wce::registry
