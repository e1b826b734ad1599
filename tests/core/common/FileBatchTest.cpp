#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "common/Files.h"
#include "support/TestFiles.h"

namespace velkor {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

std::vector<std::string> Leftovers(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name.find(".velkor-tmp-") != std::string::npos || name == kJournalName)
            out.push_back(name);
    }
    return out;
}

// A store that stops dead after `renames` renames, as a killed process
// does: the rename and everything after it do nothing, nothing is cleaned.
class StoppingStore : public FileStore {
public:
    explicit StoppingStore(int renames) : left_(renames) {}
    struct Stopped {};
    bool Rename(const fs::path& from, const fs::path& to) override {
        if (stopped_) return false;
        // The journal's own rename is not counted: it is no file of the save.
        if (to.filename() != kJournalName && left_-- == 0) {
            stopped_ = true;
            throw Stopped{};
        }
        return FileStore::Rename(from, to);
    }
    void Discard(const Staged& staged) override {
        if (!stopped_) FileStore::Discard(staged);
    }
    bool Remove(const fs::path& path) override { return !stopped_ && FileStore::Remove(path); }

private:
    int left_;
    bool stopped_ = false;
};

class FileBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir / "x86");
        for (const auto& [name, byte] : files) WriteBytes(dir.Path() / name, {byte});
    }
    // Writes the new bytes (the old ones + 10) of every file into `store`.
    void StageAll(FileStore& store) {
        for (const auto& [name, byte] : files) {
            const uint8_t b = static_cast<uint8_t>(byte + 10);
            ASSERT_TRUE(store.WriteAtomic(dir.Path() / name, std::span(&b, 1)));
        }
    }
    // 1 when every file holds its old bytes, 2 when every one holds the new.
    int Generation() {
        int old = 0, now = 0;
        for (const auto& [name, byte] : files) {
            const auto bytes = ReadBytes(dir.Path() / name);
            if (bytes == std::vector<uint8_t>{byte}) ++old;
            if (bytes == std::vector<uint8_t>{static_cast<uint8_t>(byte + 10)}) ++now;
        }
        if (old == static_cast<int>(files.size())) return 1;
        if (now == static_cast<int>(files.size())) return 2;
        return 0;  // a mix
    }
    std::vector<fs::path> Folders() { return {dir.Path(), dir.Path() / "x86"}; }

    TempDir dir;
    const std::vector<std::pair<std::string, uint8_t>> files = {
        {"S.lcp", 1}, {"LCPData.lcp", 2}, {"x86/Section.le", 3}, {"x86/Switch.le", 4}};
};

TEST_F(FileBatchTest, FilesGoInPlaceTogetherAndReadsSeeWhatIsStaged) {
    FileStore disk;
    FileBatch batch(disk, dir.Path());
    StageAll(batch);
    // Staged, not yet in place: the batch reads its own bytes, the disk the old.
    EXPECT_EQ(batch.Read(dir / "S.lcp"), std::vector<uint8_t>{11});
    EXPECT_EQ(batch.Size(dir / "x86/Switch.le"), 1u);
    EXPECT_EQ(Generation(), 1);
    ASSERT_TRUE(batch.CommitAll());
    EXPECT_EQ(Generation(), 2);
    EXPECT_TRUE(Leftovers(dir.Path()).empty());
}

TEST_F(FileBatchTest, AFailedWriteOrADroppedBatchLeavesTheOldFilesAndNoTemporaries) {
    // A folder where the last file should be: its staging fails with the
    // system's reason and the file's name.
    fs::remove(dir / "x86/Switch.le");
    fs::create_directory(dir / "x86/Switch.le");
    {
        FileStore disk;
        FileBatch batch(disk, dir.Path());
        for (const auto& [name, byte] : files) {
            const uint8_t b = static_cast<uint8_t>(byte + 10);
            batch.WriteAtomic(dir.Path() / name, std::span(&b, 1));
        }
        EXPECT_TRUE(batch.Failed());
        EXPECT_EQ(batch.FirstError(),
                  "Is a directory：" + PathToUtf8(dir.Path() / "x86" / "Switch.le"));
        EXPECT_FALSE(batch.CommitAll());
    }
    EXPECT_EQ(ReadBytes(dir / "S.lcp"), std::vector<uint8_t>{1});
    EXPECT_EQ(ReadBytes(dir / "x86/Section.le"), std::vector<uint8_t>{3});
    EXPECT_TRUE(Leftovers(dir.Path()).empty());

    fs::remove(dir / "x86/Switch.le");
    WriteBytes(dir / "x86/Switch.le", {4});
    {
        FileStore disk;
        FileBatch batch(disk, dir.Path());
        StageAll(batch);
    }  // dropped without CommitAll
    EXPECT_EQ(Generation(), 1);
    EXPECT_TRUE(Leftovers(dir.Path()).empty());
}

// A save stopped at every point of its renames: the next open leaves the
// new files when the journal was in place, else the old ones, never a mix.
TEST_F(FileBatchTest, AStopAtAnyRenameIsFinishedByTheNextOpen) {
    for (int renames = 0; renames <= static_cast<int>(files.size()); ++renames) {
        SCOPED_TRACE(renames);
        SetUp();
        {
            StoppingStore stopping(renames);
            FileBatch batch(stopping, dir.Path());
            StageAll(batch);
            try {
                batch.CommitAll();
            } catch (const StoppingStore::Stopped&) {
            }
        }
        const bool stopped = renames < static_cast<int>(files.size());
        EXPECT_EQ(fs::exists(dir / kJournalName), stopped);
        FileStore disk;
        const SaveRecovery r = RecoverInterruptedSave(disk, dir.Path(), Folders());
        EXPECT_EQ(Generation(), 2);
        EXPECT_TRUE(Leftovers(dir.Path()).empty());
        EXPECT_EQ(r.kind, stopped ? SaveRecovery::Kind::kFinished : SaveRecovery::Kind::kNone);
        EXPECT_EQ(r.files, stopped ? files.size() - static_cast<size_t>(renames) : 0u);
    }
}

TEST_F(FileBatchTest, WhatTheNextOpenUndoesAndWhatItLeavesAlone) {
    const auto StopInRenames = [&] {
        StoppingStore stopping(1);
        FileBatch batch(stopping, dir.Path());
        StageAll(batch);
        EXPECT_THROW(batch.CommitAll(), StoppingStore::Stopped);
    };
    FileStore disk;

    {
        // A save killed while staging leaves temporaries and no journal:
        // those of a dead process (pid above Linux's limit) go, the old
        // files stand.
        WriteBytes(dir / "x86/Section.le.velkor-tmp-4194305-2", {13});
        WriteBytes(dir / "S.lcp.velkor-tmp-4194305-3", {11});
        const SaveRecovery r = RecoverInterruptedSave(disk, dir.Path(), Folders());
        EXPECT_EQ(r.kind, SaveRecovery::Kind::kUndone);
        EXPECT_EQ(r.files, 2u);
        EXPECT_EQ(Generation(), 1);
        EXPECT_TRUE(Leftovers(dir.Path()).empty());
    }

    // A journal cut short is no promise: its staged files are removed.
    StopInRenames();
    {
        auto journal = ReadBytes(dir / kJournalName);
        journal.resize(journal.size() - 4);
        WriteBytes(dir / kJournalName, journal);
        const SaveRecovery r = RecoverInterruptedSave(disk, dir.Path(), Folders());
        EXPECT_EQ(r.kind, SaveRecovery::Kind::kUndone);
        EXPECT_TRUE(Leftovers(dir.Path()).empty());
        // The one file renamed before the stop is new; no open can undo it,
        // which is why a complete journal is always finished instead.
        EXPECT_EQ(ReadBytes(dir / "S.lcp"), std::vector<uint8_t>{11});
        EXPECT_EQ(ReadBytes(dir / "LCPData.lcp"), std::vector<uint8_t>{2});
    }

    // The journal of a save still running (its process is alive) is left to it.
    SetUp();
    StopInRenames();
    {
        auto journal = ReadBytes(dir / kJournalName);
        std::string text(journal.begin(), journal.end());
        const size_t pid = text.find("pid\t") + 4;
        text.replace(pid, text.find('\n', pid) - pid, std::to_string(::getppid()));
        WriteBytes(dir / kJournalName, std::vector<uint8_t>(text.begin(), text.end()));
        const SaveRecovery r = RecoverInterruptedSave(disk, dir.Path(), Folders());
        EXPECT_EQ(r.kind, SaveRecovery::Kind::kNone);
        EXPECT_TRUE(fs::exists(dir / kJournalName));
        EXPECT_EQ(ReadBytes(dir / "LCPData.lcp"), std::vector<uint8_t>{2});
    }
}

}  // namespace
}  // namespace velkor
