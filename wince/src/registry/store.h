// The device's hive: the one the regext.h functions read and change, opened
// from its file by RegistryOpenHive. Every change is saved at once.
#pragma once

#include <string_view>
#include <vector>

#include "registry/hive.h"

namespace wce::registry {

Lookup GetValue(Root root, std::wstring_view subKey, std::wstring_view valueName, Value& out);

enum class SetResult { Ok, BadArgument, SaveFailed };
// A change that cannot be saved is undone, so memory and file always agree.
SetResult SetValue(Root root, std::wstring_view subKey, const Value& value);
// Several values of one key in one save: the file holds all of them or none.
SetResult SetValues(Root root, std::wstring_view subKey, const std::vector<Value>& values);

}  // namespace wce::registry
