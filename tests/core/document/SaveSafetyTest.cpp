// What a save does when the station's folder is not as it should be: damaged
// or unreadable table files, a full disk.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <map>

#include "demo/DemoStation.h"
#include "devices/Label.h"
#include "document/CVelkorDoc.h"
#include "iotables/Generators.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"

namespace velkor {
namespace {

using testing::ReadBytes;
using testing::ScriptedInteraction;
using testing::TempDir;
using testing::WriteBytes;

// Every file under the folder with its bytes.
std::map<std::string, std::vector<uint8_t>> Snapshot(const fs::path& folder) {
    std::map<std::string, std::vector<uint8_t>> out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (e.is_regular_file()) out[e.path().lexically_relative(folder).string()] = ReadBytes(e);
    }
    return out;
}

class SaveSafety : public ::testing::Test {
protected:
    void SaveDemo(const fs::path& folder) {
        CVelkorDoc doc(ui);
        doc.OnNewDocument();
        BuildDemoStation(doc, {});
        ASSERT_TRUE(doc.OnSaveDocument(folder / "S.lcp"));
        ui.log.clear();
    }
    TempDir dir;
    ScriptedInteraction ui;
};

TEST_F(SaveSafety, ADamagedTableIsReportedKeptBesideItsReplacementAndFailsValidation) {
    SaveDemo(dir.Path());
    // Cut the section table inside its third record.
    const size_t record = InputRecordDesc(kSectionTable).size;
    auto cut = ReadBytes(dir / "x86/Section.le");
    ASSERT_GT(cut.size(), 4 + 3 * record);
    cut.resize(4 + 2 * record + 10);
    WriteBytes(dir / "x86/Section.le", cut);

    CVelkorDoc doc(ui);
    ASSERT_TRUE(doc.OnOpenDocument(dir / "S.lcp"));
    ASSERT_EQ(doc.io.Table(kSectionTable).size(), 2u);
    const std::string cause = "x86/Section.le（记录数为 ";
    ASSERT_EQ(ui.Messages("warning").size(), 1u);
    EXPECT_NE(ui.Messages("warning")[0].find(cause), std::string::npos);
    EXPECT_NE(ui.Messages("warning")[0].find("文件只有 2 条完整记录"), std::string::npos);

    // Validation names the file as a fault.
    ui.log.clear();
    EXPECT_FALSE(ValidateInputTables(doc));
    ASSERT_EQ(ui.Messages("warning").size(), 1u);
    EXPECT_EQ(ui.Messages("warning")[0].rfind("表文件有误：" + cause, 0), 0u);
    EXPECT_TRUE(ui.Messages("info").empty());

    // The save keeps the damaged file, says so, and writes what was read.
    ui.log.clear();
    ASSERT_TRUE(doc.OnSaveDocument(dir / "S.lcp"));
    EXPECT_EQ(ReadBytes(dir / "x86/Section.le.damaged"), cut);
    EXPECT_EQ(ui.Messages("info"),
              std::vector<std::string>{"损坏的表文件已另存为 x86/Section.le.damaged。"});
    EXPECT_EQ(ReadBytes(dir / "x86/Section.le").size(), 4 + 2 * record);
    EXPECT_TRUE(doc.tableTroubles.empty());
}

// A plain file where the folder of the code tables should be: the tables
// cannot be read, so no save may replace their field copies with empty ones.
TEST_F(SaveSafety, AnUnreadableTableStopsTheWholeSave) {
    SaveDemo(dir.Path());
    fs::remove_all(dir / "x86/ATP");
    WriteBytes(dir / "x86/ATP", {1, 2, 3});
    const auto before = Snapshot(dir.Path());

    CVelkorDoc doc(ui);
    ASSERT_TRUE(doc.OnOpenDocument(dir / "S.lcp"));
    ASSERT_FALSE(ui.Messages("warning").empty());
    EXPECT_NE(ui.Messages("warning")[0].find("Not a directory"), std::string::npos)
        << ui.Messages("warning")[0];
    doc.AddObject(std::make_unique<Label>());
    ui.log.clear();
    const Status saved = doc.OnSaveDocument(dir / "S.lcp");
    EXPECT_FALSE(saved);
    EXPECT_EQ(saved.Message().rfind("保存文档失败。\n无法读取 x86/ATP/", 0), 0u) << saved.Message();
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

TEST_F(SaveSafety, AStationOpenedWithoutItsTablesIsNeverSavedOverThem) {
    SaveDemo(dir.Path());
    const auto before = Snapshot(dir.Path());
    CVelkorDoc doc(ui);
    ASSERT_TRUE(doc.OnOpenDocument(dir / "S.lcp", CVelkorDoc::OpenParts::StationFileOnly));
    EXPECT_FALSE(doc.Objects().empty());
    EXPECT_TRUE(doc.io.Table(kSectionTable).empty());
    const Status saved = doc.OnSaveDocument(dir / "S.lcp");
    EXPECT_FALSE(saved);
    EXPECT_EQ(saved.Message(), kMsgStationFileOnly);
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{kMsgStationFileOnly});
    EXPECT_EQ(Snapshot(dir.Path()), before);
    // Opened whole again, it saves as ever.
    ASSERT_TRUE(doc.OnOpenDocument(dir / "S.lcp"));
    EXPECT_TRUE(doc.OnSaveDocument(dir / "S.lcp"));
}

// The disk's files, each handed out a few bytes per read or failing after
// `failAfter` bytes, as a slow or failing disk does.
class SlowDiskStore : public FileStore {
public:
    explicit SlowDiskStore(size_t failAfter = SIZE_MAX) : failAfter_(failAfter) {}
    std::unique_ptr<ByteSource> OpenRead(const fs::path& path) override {
        auto file = FileStore::OpenRead(path);
        if (!file) return nullptr;
        return std::make_unique<Source>(std::move(file), failAfter_);
    }

private:
    class Source : public ByteSource {
    public:
        Source(std::unique_ptr<ByteSource> file, size_t failAfter)
            : file_(std::move(file)), failAfter_(failAfter) {}
        size_t Read(uint8_t* dst, size_t n) override {
            if (read_ >= failAfter_) throw FileReadError("Input/output error：S.lcp");
            const size_t got = file_->Read(dst, std::min<size_t>(n, 1 + read_ % 4093));
            read_ += got;
            return got;
        }

    private:
        std::unique_ptr<ByteSource> file_;
        size_t failAfter_;
        size_t read_ = 0;
    };
    size_t failAfter_;
};

// A station file of several megabytes read in small uneven pieces opens as
// the same station; a read that fails part way fails the open with the
// system's words and leaves the document empty.
TEST_F(SaveSafety, AStationFileIsReadPieceByPieceAndAFailedReadFailsTheOpen) {
    {
        CVelkorDoc doc(ui);
        doc.OnNewDocument();
        BuildDemoStation(doc, {6000, 1, false});
        ASSERT_TRUE(doc.OnSaveDocument(dir / "S.lcp"));
    }
    const auto original = ReadBytes(dir / "S.lcp");
    ASSERT_GT(original.size(), size_t{2} << 20);

    SlowDiskStore slow;
    CVelkorDoc doc(ui, slow);
    ASSERT_TRUE(doc.OnOpenDocument(dir / "S.lcp"));
    TempDir other;
    ASSERT_TRUE(doc.OnSaveDocument(other / "S.lcp"));
    EXPECT_EQ(ReadBytes(other / "S.lcp"), original);

    SlowDiskStore failing((size_t{1} << 20) + 5);
    CVelkorDoc broken(ui, failing);
    ui.log.clear();
    const Status opened = broken.OnOpenDocument(dir / "S.lcp");
    EXPECT_FALSE(opened);
    EXPECT_EQ(opened.Message(), std::string(kMsgOpenFailed) + "\nInput/output error：S.lcp")
        << opened.Message();
    EXPECT_TRUE(broken.Objects().empty());
}

// A disk that fills up during the save: the system's message with the file,
// the previous station whole, nothing staged left behind; and once there is
// room again the save goes through.
TEST_F(SaveSafety, AFullDiskFailsTheSaveAndKeepsThePreviousStation) {
    const fs::path disk = dir / "disk";
    fs::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=1m") != 0) {
        GTEST_SKIP() << "no small file system can be mounted here (not root)";
    }
    struct Unmount {
        fs::path at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{disk};

    SaveDemo(disk);
    const auto before = Snapshot(disk);
    // Fill the disk but for a few kilobytes.
    {
        std::vector<uint8_t> block(4096, 0xAA);
        std::FILE* f = std::fopen((disk / "filler").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        while (std::fwrite(block.data(), 1, block.size(), f) == block.size()) {
        }
        std::fclose(f);
        fs::resize_file(disk / "filler", fs::file_size(disk / "filler") - 8 * 4096);
    }
    CVelkorDoc doc(ui);
    ASSERT_TRUE(doc.OnOpenDocument(disk / "S.lcp"));
    doc.AddObject(std::make_unique<Label>());
    ui.log.clear();
    const Status saved = doc.OnSaveDocument(disk / "S.lcp");
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.Message().find("No space left on device："), std::string::npos)
        << saved.Message();
    auto after = Snapshot(disk);
    after.erase("filler");
    EXPECT_EQ(after, before);

    fs::remove(disk / "filler");
    ASSERT_TRUE(doc.OnSaveDocument(disk / "S.lcp"));
    EXPECT_NE(Snapshot(disk)["S.lcp"], before.at("S.lcp"));
}

// Where no file system can be mounted (an ordinary user), a folder the user
// may not write into stands for the full disk.
TEST_F(SaveSafety, AnUnwritableFolderFailsTheSaveAndKeepsThePreviousStation) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    SaveDemo(dir.Path());
    const auto before = Snapshot(dir.Path());
    CVelkorDoc doc(ui);
    ASSERT_TRUE(doc.OnOpenDocument(dir / "S.lcp"));
    doc.AddObject(std::make_unique<Label>());
    fs::permissions(dir / "ppc", fs::perms::owner_read | fs::perms::owner_exec);
    const Status saved = doc.OnSaveDocument(dir / "S.lcp");
    fs::permissions(dir / "ppc", fs::perms::owner_all);
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.Message().find("Permission denied："), std::string::npos) << saved.Message();
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

}  // namespace
}  // namespace velkor
