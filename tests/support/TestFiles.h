#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velkor::testing {

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::vector<uint8_t> ReadBytes(const std::filesystem::path& p);
void WriteBytes(const std::filesystem::path& p, const std::vector<uint8_t>& bytes);
// Hex dump "FF FE FF 02" of a byte range, for readable failure messages.
std::string Hex(const std::vector<uint8_t>& bytes, size_t from = 0, size_t count = SIZE_MAX);

}  // namespace velkor::testing
