// Outside files far larger than their format allows: every reader refuses
// them from their size, without reading them into memory.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

#include "Commands.h"
#include "common/Files.h"
#include "support/TestFiles.h"

namespace velkor::cli {
namespace {

using velkor::testing::TempDir;

struct ChildRun {
    int code = -1;
    long peakKb = 0;  // the child's largest resident size
    std::string err;
};

// Runs the command in a child process, so that its peak memory is its own.
ChildRun InChild(const std::vector<std::string>& args, const fs::path& errFile) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::ostringstream out, err;
        const int code = RunCli(args, out, err);
        std::FILE* f = std::fopen(errFile.c_str(), "wb");
        if (f) {
            std::fputs(err.str().c_str(), f);
            std::fclose(f);
        }
        ::_exit(code);
    }
    ChildRun run;
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKb = usage.ru_maxrss;
    const auto bytes = ReadWholeFile(errFile);
    if (bytes) run.err.assign(bytes->begin(), bytes->end());
    return run;
}

constexpr uint64_t kGigabyte = uint64_t{1} << 30;

// Makes the file 1 GB long: its own bytes, then a sparse run of zeros.
void Outsize(const fs::path& file) {
    if (!fs::exists(file)) std::fclose(std::fopen(file.c_str(), "wb"));
    fs::resize_file(file, kGigabyte);
}

TEST(OutsizedInput, EveryReaderRefusesAGigabyteFileWithoutReadingIt) {
    TempDir dir;
    const std::string station = PathToUtf8(dir / "Demo.lcp");
    const fs::path err = dir / "err.txt";
    std::ostringstream out, cliErr;
    ASSERT_EQ(RunCli({"demo", PathToUtf8(dir.Path())}, out, cliErr), 0) << cliErr.str();
    ASSERT_EQ(RunCli({"ats", station, "--yes"}, out, cliErr), 0) << cliErr.str();
    fs::create_directories(dir / "MainTrack");
    const ChildRun baseline = InChild({"info", station}, err);
    ASSERT_EQ(baseline.code, 0) << baseline.err;

    struct Case {
        const char* name;
        fs::path file;
        std::vector<std::string> command;
        int code;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"table file",
         dir / "x86" / "Section.le",
         {"tables", station, "section"},
         0,
         "记录之后多出"},
        {"ATS text", dir / "ATS" / "AtsCmd.txt", {"ats-bin", station}, 1, "文件过大："},
        {"main-track text",
         dir / "MainTrack" / "MainTrack.txt",
         {"maintrack", station},
         1,
         "文件过大："},
        {"workbook",
         dir / "big.xls",
         {"workbook", "dump", PathToUtf8(dir / "big.xls")},
         1,
         "文件过大："},
        {"station file", dir / "Demo.lcp", {"info", station}, 1, "个对象的车站文件最多"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto kept = fs::exists(c.file) ? ReadWholeFile(c.file) : std::nullopt;
        Outsize(c.file);
        const ChildRun run = InChild(c.command, err);
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        // Not read: the process grew by far less than the file's size.
        EXPECT_LT(run.peakKb - baseline.peakKb, 64 * 1024) << run.peakKb << " KB";
        if (kept) {
            WriteFileAtomic(c.file, *kept);
        } else {
            fs::remove(c.file);
        }
    }
}

// A workbook whose sheet inflates a thousand times over is refused from
// what its zip directory says, before anything is inflated.
TEST(OutsizedInput, AnXlsxBombIsRefused) {
    TempDir dir;
    const fs::path bomb = dir / "bomb.xlsx";
    const std::string script =
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED)\n"
        "z.writestr('xl/workbook.xml', '<workbook xmlns:r=\"r\"><sheets><sheet name=\"S\" "
        "sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>')\n"
        "z.writestr('xl/_rels/workbook.xml.rels', '<Relationships><Relationship Id=\"rId1\" "
        "Target=\"worksheets/sheet1.xml\"/></Relationships>')\n"
        "with z.open('xl/worksheets/sheet1.xml', 'w', force_zip64=True) as f:\n"
        "    f.write(b'<worksheet><sheetData>')\n"
        "    block = b' ' * (1 << 20)\n"
        "    for i in range(64): f.write(block)\n"
        "    f.write(b'</sheetData></worksheet>')\n"
        "z.close()\n";
    const fs::path maker = dir / "bomb.py";
    WriteFileAtomic(maker,
                    std::span(reinterpret_cast<const uint8_t*>(script.data()), script.size()));
    const std::string command =
        "/usr/bin/python3 '" + PathToUtf8(maker) + "' '" + PathToUtf8(bomb) + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_LT(fs::file_size(bomb), uint64_t{1} << 20);

    const ChildRun run = InChild({"workbook", "dump", PathToUtf8(bomb)}, dir / "err.txt");
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("xl/worksheets/sheet1.xml 解压后有 67108910 个字节"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("疑为压缩炸弹"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace velkor::cli
