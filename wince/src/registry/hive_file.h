// The hive file on the host's disk: read, saved atomically, kept aside when damaged.
#pragma once

#include <string>
#include <string_view>

namespace wce::registry {

enum class FileRead { Ok, Missing, Failed };

// The whole file; `error` says why when it Failed.
FileRead ReadHiveFile(const std::string& path, std::string& bytes, std::string& error);

// Writes "<path>.tmp", flushes it to disk and renames it over `path`, so a
// crash leaves either the old file or the new one, never half of one.
bool SaveHiveFile(const std::string& path, std::string_view text, std::string& error);

// Renames `path` to "<path>.damaged-<n>" with the first n that names no file,
// so an earlier damaged hive is never overwritten.
bool KeepAside(const std::string& path, std::string& keptAs, std::string& error);

}  // namespace wce::registry
