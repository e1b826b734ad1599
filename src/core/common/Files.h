#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/Bytes.h"

namespace velkor {

namespace fs = std::filesystem;

// Thrown by a file's ByteSource when the system fails to read it; what()
// says what the system said, with the file.
class FileReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where the core reads and writes whole files. The document and the table
// writers go through it so that a test can make one write fail and see that
// nothing already on disk is lost.
class FileStore {
public:
    virtual ~FileStore() = default;
    // The file's bytes, or nothing when it cannot be read.
    virtual std::optional<std::vector<uint8_t>> Read(const fs::path& path);
    // The first `limit` bytes of the file (all of a shorter one), so that a
    // reader can look at a header before it decides how much to read.
    virtual std::optional<std::vector<uint8_t>> ReadPrefix(const fs::path& path, size_t limit);
    // The size of a regular file, or nothing when there is none.
    virtual std::optional<uint64_t> Size(const fs::path& path);
    // The file to read piece by piece, or nothing when it cannot be opened.
    // Its Read throws FileReadError when the system fails part way.
    virtual std::unique_ptr<ByteSource> OpenRead(const fs::path& path);
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
    // Stages a copy of the file `from` to be committed as `to`.
    virtual std::optional<Staged> StageCopy(const fs::path& from, const fs::path& to);
    // Renames a file; false (and the file left where it was) on failure.
    virtual bool Rename(const fs::path& from, const fs::path& to);
    virtual bool Remove(const fs::path& path);
    // Makes the renames in a folder durable.
    virtual void SyncFolder(const fs::path& folder);

    // What the system said about the last failed operation, with the file:
    // "No space left on device：/stations/A/x86/Section.le".
    const std::string& LastError() const { return lastError_; }
    // Its errno (ENOENT for a missing file), 0 when none was given.
    int LastErrno() const { return lastErrno_; }
    void ClearLastError() {
        lastError_.clear();
        lastErrno_ = 0;
    }

protected:
    void SetLastError(int error, const fs::path& path);
    std::string lastError_;
    int lastErrno_ = 0;
};

// Files kept in memory: for fuzzing and for tests that must not touch the disk.
// A staged file is a file of its own (TARGET.staged) until it is committed.
class MemoryFileStore : public FileStore {
public:
    std::unique_ptr<ByteSource> OpenRead(const fs::path& path) override;
    std::optional<std::vector<uint8_t>> Read(const fs::path& path) override;
    std::optional<std::vector<uint8_t>> ReadPrefix(const fs::path& path, size_t limit) override;
    std::optional<uint64_t> Size(const fs::path& path) override;
    std::optional<Staged> Stage(const fs::path& path, std::span<const uint8_t> bytes) override;
    bool Commit(const Staged& staged) override;
    void Discard(const Staged& staged) override;
    bool MakeDirs(const fs::path&) override { return true; }
    size_t RemoveStaleTemporaries(const fs::path&) override { return 0; }
    std::optional<Staged> StageCopy(const fs::path& from, const fs::path& to) override;
    bool Rename(const fs::path& from, const fs::path& to) override;
    bool Remove(const fs::path& path) override { return files.erase(path) > 0; }
    void SyncFolder(const fs::path&) override {}

    std::map<fs::path, std::vector<uint8_t>> files;
};

// The name of the journal a batch keeps in its folder while it renames.
inline constexpr const char* kJournalName = "velkor-save.journal";

// The files of one save, or of one command that writes several files, put
// in place together. Every write is staged first (written and flushed beside
// its target) and reads see the staged bytes. CommitAll then writes a
// journal naming every staged file into the batch's folder, renames the
// staged files over their targets and removes the journal. A run stopped
// before the journal is in place leaves only temporaries, and the previous
// files stand; one stopped after it leaves a complete journal, and the next
// open finishes the renames (RecoverInterruptedSave). A batch dropped
// without CommitAll removes what it staged.
class FileBatch final : public FileStore {
public:
    FileBatch(FileStore& under, fs::path journalFolder);
    ~FileBatch() override;
    FileBatch(const FileBatch&) = delete;
    FileBatch& operator=(const FileBatch&) = delete;

    std::optional<std::vector<uint8_t>> Read(const fs::path& path) override;
    std::optional<std::vector<uint8_t>> ReadPrefix(const fs::path& path, size_t limit) override;
    std::optional<uint64_t> Size(const fs::path& path) override;
    std::unique_ptr<ByteSource> OpenRead(const fs::path& path) override;
    std::optional<Staged> Stage(const fs::path& path, std::span<const uint8_t> bytes) override;
    // A staged file is put in place by CommitAll, with the rest.
    bool Commit(const Staged& staged) override;
    void Discard(const Staged& staged) override;
    bool MakeDirs(const fs::path& dir) override;
    size_t RemoveStaleTemporaries(const fs::path& folder) override;
    std::optional<Staged> StageCopy(const fs::path& from, const fs::path& to) override;
    bool Rename(const fs::path& from, const fs::path& to) override;
    bool Remove(const fs::path& path) override;
    void SyncFolder(const fs::path& folder) override;

    // Whether a file of the batch could not be staged; its first failure.
    bool Failed() const { return failed_; }
    const std::string& FirstError() const { return firstError_; }
    bool Empty() const { return staged_.empty(); }
    // Puts every staged file in place; on failure (including an earlier
    // failed write) nothing staged remains and the old files stand, unless
    // a rename failed half way, when the journal stays for the next open.
    bool CommitAll();
    void DiscardAll();

private:
    // What the store under the batch said of its last failure, as the batch's own.
    void TakeUnderError();
    bool Fail(const std::string& error);
    const Staged* Find(const fs::path& target) const;

    FileStore& under_;
    fs::path folder_;
    std::vector<Staged> staged_;
    bool failed_ = false;
    std::string firstError_;
};

// What the open of a station did about a save that was interrupted.
struct SaveRecovery {
    enum class Kind { kNone, kFinished, kUndone };
    Kind kind = Kind::kNone;
    size_t files = 0;  // files renamed into place, or temporaries removed
};

// Finishes the renames of a complete journal in `journalFolder`, or removes
// the staged files of an incomplete one; then removes what interrupted
// saves left in `folders`. A journal of a save still running is left alone.
SaveRecovery RecoverInterruptedSave(FileStore& files, const fs::path& journalFolder,
                                    const std::vector<fs::path>& folders);

// The file's bytes when it is no larger than `limit`, the most a file of its
// kind can hold. A larger file is refused without being read: `refused`
// then says so with the file's name and both sizes.
std::optional<std::vector<uint8_t>> ReadAtMost(FileStore& files, const fs::path& path,
                                               uint64_t limit, std::string& refused);

// "MESSAGE：CAUSE", or the message alone when there is no cause to tell.
std::string WithCause(const std::string& message, const std::string& cause);

// The store used unless a caller installs another.
FileStore& DefaultFileStore();

// Convenience wrappers on the default store.
std::optional<std::vector<uint8_t>> ReadWholeFile(const fs::path& path);
bool WriteFileAtomic(const fs::path& path, std::span<const uint8_t> bytes);

// A path from UTF-8 text and back, so Chinese file names survive on every platform.
fs::path PathFromUtf8(const std::string& utf8);
std::string PathToUtf8(const fs::path& path);

}  // namespace velkor
