// A fresh folder for one test, removed with everything in it at the end.
#pragma once
#include <string>
#include <vector>

#include "platform/fs.h"

namespace zvtest {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, with a trailing separator.
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + name; }
    // Writes a file (relative to the folder) with these bytes.
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;

  private:
    std::string m_path;
};

// Removes a file or a whole folder tree.
void RemoveTree(const std::string& path);

// The repository's data folder (from the test environment, else relative to the binary).
std::string SourceDir();

}  // namespace zvtest
