// Autosave and recovery: a desktop program killed after an edit loses at
// most the minutes since its last recovery copy.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "demo/DemoStation.h"
#include "devices/Label.h"
#include "shell/CMainFrame.h"
#include "shell/CVelkorApp.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"

namespace velkor::gui {
namespace {

using velkor::testing::ReadBytes;
using velkor::testing::ScriptedInteraction;
using velkor::testing::TempDir;

bool CopyWritten(const fs::path& root) {
    std::error_code ec;
    for (auto it = fs::directory_iterator(root, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        if (fs::exists(it->path() / "recovery.txt")) return true;
    }
    return false;
}

TEST(Recovery, AKilledProgramsEditIsOfferedAtTheNextStartAndANormalCloseLeavesNoCopy) {
    TempDir dir;
    const fs::path station = dir / "S.lcp";
    const fs::path recovery = dir / "recovery";
    {
        ScriptedInteraction ui;
        CVelkorDoc doc(ui);
        doc.OnNewDocument();
        BuildDemoStation(doc, {});
        ASSERT_TRUE(doc.OnSaveDocument(station));
    }
    const auto saved = ReadBytes(station);

    // The program, in a process of its own (this test program run again
    // as RecoveryProgram.RunsUntilKilled): opens the station, makes an edit
    // and runs until it is killed, autosaving every second.
    std::fflush(nullptr);
    const pid_t program = ::fork();
    if (program == 0) {
        ::setenv("VELKOR_RECOVERY_STATION", station.c_str(), 1);
        ::setenv("VELKOR_RECOVERY_FOLDER", recovery.c_str(), 1);
        const char* args[] = {"velkor_gui_tests", "--gtest_filter=RecoveryProgram.RunsUntilKilled",
                              nullptr};
        ::execv("/proc/self/exe", const_cast<char* const*>(args));
        ::_exit(127);
    }
    ASSERT_GT(program, 0);
    QElapsedTimer waited;
    waited.start();
    while (!CopyWritten(recovery) && waited.elapsed() < 60000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(program, SIGKILL);
    int status = 0;
    ::waitpid(program, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the program ended by itself: " << status;
    ASSERT_TRUE(CopyWritten(recovery));
    // The station's own file was never touched.
    EXPECT_EQ(ReadBytes(station), saved);

    // The next start offers the copy with its station and time, and restores it.
    ScriptedInteraction ui;
    CVelkorApp app(&ui);
    app.UseRecoveryFolder(recovery);
    std::vector<RecoveryCopy> offered;
    app.askRecovery = [&](const RecoveryCopy& copy) {
        offered.push_back(copy);
        return 1;
    };
    app.MainFrame().show();
    app.OfferRecoveries();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].original, PathToUtf8(station));
    EXPECT_GT(offered[0].savedAt, 0);
    CChildFrame* child = app.MainFrame().ActiveChild();
    ASSERT_NE(child, nullptr);
    CVelkorDoc& doc = child->Doc();
    EXPECT_EQ(doc.PathName(), station);
    EXPECT_TRUE(doc.IsModified());
    const auto edited = std::find_if(doc.Objects().begin(), doc.Objects().end(), [](const auto& o) {
        const auto* label = dynamic_cast<const Label*>(o.get());
        return label && label->text == u"杀死之前的修改";
    });
    EXPECT_NE(edited, doc.Objects().end()) << "the edit before the kill is lost";
    // Restored copies are not offered twice.
    offered.clear();
    app.OfferRecoveries();
    EXPECT_TRUE(offered.empty());

    // Saved to its own file, then closed normally: no copy is left.
    ASSERT_TRUE(child->Save());
    EXPECT_NE(ReadBytes(station), saved);
    app.MainFrame().close();
    EXPECT_TRUE(fs::is_empty(recovery));
}

// The program that the test above kills; it runs only when started by it.
TEST(RecoveryProgram, RunsUntilKilled) {
    const char* station = std::getenv("VELKOR_RECOVERY_STATION");
    const char* recovery = std::getenv("VELKOR_RECOVERY_FOLDER");
    if (!station || !recovery) GTEST_SKIP() << "started by the recovery test only";
    ScriptedInteraction ui;
    CVelkorApp app(&ui);
    app.UseRecoveryFolder(recovery);
    app.SetAutosaveMinutes(1.0 / 60);
    app.MainFrame().show();
    ASSERT_TRUE(app.OpenDocument(QString::fromUtf8(station)));
    ASSERT_EQ(app.MainFrame().Children().size(), 1u);
    auto label = std::make_unique<Label>();
    label->text = u"杀死之前的修改";
    label->SetDragPoints({40, 30}, {40, 30});
    app.MainFrame().Children().front()->Doc().AddObject(std::move(label));
    QTimer::singleShot(60000, qApp, &QCoreApplication::quit);
    QApplication::exec();
    ::_exit(3);  // not killed in a minute: the test reports it
}

}  // namespace
}  // namespace velkor::gui
