// The hive file on the host's disk: read, saved atomically, kept aside when damaged.
#pragma once

#include <string>
#include <string_view>

namespace wce::registry {

enum class FileRead { Ok, Missing, Failed };

// The whole file; `error` says why when it Failed.
FileRead ReadHiveFile(const std::string& path, std::string& bytes, std::string& error);

// Writes "<path>.tmp-<process id>", flushes it to disk, renames it over
// `path` and flushes the folder, so a crash leaves either the old file or the
// new one, never half of one. Two processes saving at once each write a
// temporary file of their own; the last rename wins.
bool SaveHiveFile(const std::string& path, std::string_view text, std::string& error);

// Removes the temporary files of saves that a killed process left beside
// `path`; those of live processes (and of this one) stay.
void RemoveStaleTemporaries(const std::string& path);

// Renames `path` to "<path>.damaged-<n>" with the first n that names no file,
// so an earlier damaged hive is never overwritten.
bool KeepAside(const std::string& path, std::string& keptAs, std::string& error);

// Writes `bytes` (the file as read) to "<path>.damaged-<n>" likewise, for a
// hive that loads but lost lines: the file itself is then saved repaired.
bool KeepCopyAside(const std::string& path, std::string_view bytes, std::string& keptAs, std::string& error);

}  // namespace wce::registry
