#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velkor {

namespace fs = std::filesystem;

// Where the core reads and writes whole files. The document and the table
// writers go through it so that a test can make one write fail and see that
// nothing already on disk is lost.
class FileStore {
public:
    virtual ~FileStore() = default;
    // The file's bytes, or nothing when it cannot be read.
    virtual std::optional<std::vector<uint8_t>> Read(const fs::path& path);
    // Writes the whole file or nothing: the bytes go to a temporary file in
    // the same folder, are flushed to disk and then renamed over the old file.
    // On failure the previous file is untouched and no temporary is left.
    virtual bool WriteAtomic(const fs::path& path, std::span<const uint8_t> bytes);

    // Two-phase form of WriteAtomic for saves that replace several files
    // together: stage every file first, then commit them all, so a failure
    // while staging leaves every previous file as it was.
    struct Staged {
        fs::path target;
        fs::path temp;
    };
    virtual std::optional<Staged> Stage(const fs::path& path, std::span<const uint8_t> bytes);
    virtual bool Commit(const Staged& staged);
    virtual void Discard(const Staged& staged);
    // Creates the folder and its parents where missing.
    virtual bool MakeDirs(const fs::path& dir);
    // Removes the temporary files that saves interrupted by a crash or a
    // kill left in the folder (those of processes no longer running);
    // returns how many.
    virtual size_t RemoveStaleTemporaries(const fs::path& folder);
};

// Files kept in memory: for fuzzing and for tests that must not touch the disk.
class MemoryFileStore : public FileStore {
public:
    std::optional<std::vector<uint8_t>> Read(const fs::path& path) override;
    std::optional<Staged> Stage(const fs::path& path, std::span<const uint8_t> bytes) override;
    bool Commit(const Staged& staged) override;
    void Discard(const Staged& staged) override;
    bool MakeDirs(const fs::path&) override { return true; }
    size_t RemoveStaleTemporaries(const fs::path&) override { return 0; }

    std::map<fs::path, std::vector<uint8_t>> files;

private:
    std::map<fs::path, std::vector<uint8_t>> staged_;
};

// The store used unless a caller installs another.
FileStore& DefaultFileStore();

// Convenience wrappers on the default store.
std::optional<std::vector<uint8_t>> ReadWholeFile(const fs::path& path);
bool WriteFileAtomic(const fs::path& path, std::span<const uint8_t> bytes);

// A path from UTF-8 text and back, so Chinese file names survive on every platform.
fs::path PathFromUtf8(const std::string& utf8);
std::string PathToUtf8(const fs::path& path);

}  // namespace velkor
