// Temporary folders and file helpers for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jptest {

// A temporary folder removed with everything in it when the object dies.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool WriteText(const std::string& path, const std::string& text);
std::vector<uint8_t> ReadFile(const std::string& path);
bool MakeDirs(const std::string& path);
std::string CorporaDir();  // ../shared/corpora beside the checkout; empty when missing

}  // namespace jptest
