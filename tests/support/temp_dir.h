#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quillery::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::u16string u16() const;
    // Writes `bytes` to `name` inside the folder and returns its full path.
    std::filesystem::path Write(const std::string& name, std::string_view bytes) const;

  private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& file);

} // namespace quillery::test
