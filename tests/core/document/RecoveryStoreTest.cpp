#include <gtest/gtest.h>
#include <unistd.h>

#include "devices/Label.h"
#include "document/CVelkorDoc.h"
#include "document/Recovery.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"

namespace velkor {
namespace {

using testing::ScriptedInteraction;
using testing::TempDir;

// A copy is made without touching the document or the station's own
// folder; the copies of this process are its own and never offered; a
// copy whose replacement a stop cut short is offered whole.
TEST(RecoveryStore, CopiesLeaveTheDocumentAsItWasAndSurviveAnInterruptedReplacement) {
    TempDir dir;
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    ASSERT_TRUE(doc.OnSaveDocument(dir / "S.lcp"));
    doc.AddObject(std::make_unique<Label>());
    ui.log.clear();

    RecoveryStore store(dir / "recovery");
    ASSERT_TRUE(store.Save(doc, 7, 1000));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.PathName(), dir / "S.lcp");
    EXPECT_TRUE(ui.log.empty());  // no question, no message
    EXPECT_TRUE(store.LeftBehind().empty());

    // The same copy as a process long gone left it (pid above Linux's
    // limit), once as it stands and once cut short between its halves.
    const fs::path mine = dir / "recovery" / (std::to_string(::getpid()) + "-7");
    fs::rename(mine, dir / "recovery" / "4194305-1.new");
    fs::create_directories(dir / "recovery" / "4194305-1.old");
    auto left = store.LeftBehind();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].original, PathToUtf8(dir / "S.lcp"));
    EXPECT_EQ(left[0].savedAt, 1000);
    EXPECT_EQ(left[0].folder.filename(), "4194305-1");
    EXPECT_FALSE(fs::exists(dir / "recovery" / "4194305-1.old"));

    CVelkorDoc restored(ui);
    ASSERT_TRUE(restored.OnOpenDocument(left[0].station));
    EXPECT_EQ(restored.Objects().size(), 1u);
    RecoveryStore::Discard(left[0]);
    EXPECT_TRUE(store.LeftBehind().empty());
    EXPECT_TRUE(fs::is_empty(dir / "recovery"));
}

}  // namespace
}  // namespace velkor
