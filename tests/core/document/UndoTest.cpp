#include <gtest/gtest.h>

#include "demo/DemoStation.h"
#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/RailSwitch.h"
#include "document/Arrange.h"
#include "document/CVelkorDoc.h"
#include "document/EditMenu.h"
#include "document/Placing.h"
#include "support/RecordingPainter.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"

namespace velkor {
namespace {

using testing::FixedTextMetrics;
using testing::ScriptedInteraction;
using testing::TempDir;

// The whole drawing as the station file would hold it.
std::vector<uint8_t> Drawing(CVelkorDoc& doc) {
    std::vector<uint8_t> all;
    for (const auto& obj : doc.Objects()) {
        const auto bytes = SnapshotObject(*obj, true);
        all.insert(all.end(), bytes.begin(), bytes.end());
    }
    return all;
}

class Undo : public ::testing::Test {
protected:
    FixedTextMetrics metrics{7, 12};
    ScriptedInteraction ui;
};

TEST_F(Undo, PlaceMoveDeleteAndBackAgain) {
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &metrics;
    doc.OnNewDocument();
    EXPECT_FALSE(doc.CanUndo());
    const auto empty = Drawing(doc);
    PlaceObject(doc, {0, {100, 200}, {300, 200}});
    PlaceObject(doc, {9, {500, 300}, {0, 0}, 2});
    const auto placed = Drawing(doc);
    EXPECT_TRUE(doc.IsModified());

    MoveAll(doc, 20, 0);
    const auto moved = Drawing(doc);
    EXPECT_NE(moved, placed);

    EditMenu menu(doc);
    menu.SetObject(doc.Objects()[0].get());
    menu.Delete();
    ASSERT_EQ(doc.Objects().size(), 1u);

    ASSERT_TRUE(doc.Undo());  // the delete
    EXPECT_EQ(doc.Objects().size(), 2u);
    EXPECT_EQ(Drawing(doc), moved);
    ASSERT_TRUE(doc.Undo());  // the move
    EXPECT_EQ(Drawing(doc), placed);
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Drawing(doc), empty);
    EXPECT_FALSE(doc.Undo());
    EXPECT_FALSE(doc.IsModified());  // back at the opened state

    for (int i = 0; i < 3; ++i) ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(Drawing(doc), moved);
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(doc.Objects().size(), 1u);
    EXPECT_FALSE(doc.Redo());
}

// The objects of one class as the document lists them for the generators,
// against a walk over every object, after each kind of change of the list.
TEST_F(Undo, TheObjectsOfAClassFollowEveryChangeOfTheDrawing) {
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &metrics;
    doc.OnNewDocument();
    BuildDemoStation(doc, {});
    const auto agree = [&doc](const char* step) {
        SCOPED_TRACE(step);
        std::vector<CADSection*> sections;
        std::vector<RailSwitch*> switches;
        std::vector<CADSignal*> signals;
        for (const auto& obj : doc.Objects()) {
            if (auto* s = dynamic_cast<CADSection*>(obj.get())) sections.push_back(s);
            if (auto* s = dynamic_cast<RailSwitch*>(obj.get())) switches.push_back(s);
            if (auto* s = dynamic_cast<CADSignal*>(obj.get())) signals.push_back(s);
        }
        EXPECT_FALSE(sections.empty());
        EXPECT_EQ(doc.ObjectsOf<CADSection>(), sections);
        EXPECT_EQ(doc.ObjectsOf<RailSwitch>(), switches);
        EXPECT_EQ(doc.ObjectsOf<CADSignal>(), signals);
    };
    agree("built");
    std::vector<CADGraphic*> some;
    for (size_t i = 0; i < doc.Objects().size(); i += 3) some.push_back(doc.Objects()[i].get());
    doc.DeleteObjects(some);
    agree("deleted every third object");
    PlaceObject(doc, {0, {100, 200}, {300, 200}});
    PlaceObject(doc, {9, {500, 300}, {0, 0}, 2});
    agree("placed");
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    agree("undone");
    MoveAll(doc, 20, 0);
    // Undo and redo of a move put restored objects in place of the moved ones.
    ASSERT_TRUE(doc.Undo());
    agree("move undone");
    ASSERT_TRUE(doc.Redo());
    agree("move redone");
    {
        DocumentEdit dropped(doc, "x", DocumentEdit::Scope::AllObjects);
        doc.DeleteObjects({doc.Objects()[0].get(), doc.Objects()[5].get()});
    }
    agree("a dropped edit put back");
    const TempDir dir;
    ASSERT_TRUE(doc.OnSaveDocument(dir.Path() / "Demo.lcp"));
    CVelkorDoc reopened(ui);
    ASSERT_TRUE(reopened.OnOpenDocument(dir.Path() / "Demo.lcp"));
    EXPECT_EQ(reopened.ObjectsOf<CADSection>().size(), doc.ObjectsOf<CADSection>().size());
    doc.OnNewDocument();
    EXPECT_TRUE(doc.ObjectsOf<CADSection>().empty());
}

TEST_F(Undo, SavedStateIsTheUnmodifiedOne) {
    TempDir dir;
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &metrics;
    doc.OnNewDocument();
    PlaceObject(doc, {0, {100, 200}, {300, 200}});
    ASSERT_TRUE(doc.OnSaveDocument(dir / "s.lcp"));
    EXPECT_FALSE(doc.IsModified());
    MoveAll(doc, 0, 20);
    EXPECT_TRUE(doc.IsModified());
    doc.Undo();
    EXPECT_FALSE(doc.IsModified());
    doc.Undo();  // before the save
    EXPECT_TRUE(doc.IsModified());
    // A new edit after undoing drops the redo branch.
    PlaceObject(doc, {0, {100, 400}, {300, 400}});
    EXPECT_FALSE(doc.CanRedo());
}

TEST_F(Undo, AnEditThatChangesNothingRecordsNothing) {
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &metrics;
    doc.OnNewDocument();
    PlaceObject(doc, {0, {100, 200}, {300, 200}});
    DocumentEdit edit(doc, "移动", {doc.Objects()[0].get()});
    edit.Commit();
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.Objects().empty());
}

TEST_F(Undo, SnapshotsKeepWhatIsShownAndRestoreEveryClass) {
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &metrics;
    doc.OnNewDocument();
    BuildDemoStation(doc, {});
    // A derailer shows "T" until it is saved; a snapshot must not change that.
    auto* derailer = PlaceObject(doc, {37, {50, 60}, {50, 60}});
    ASSERT_NE(derailer, nullptr);
    EXPECT_EQ(AsDevice(derailer)->nameLabel.text, u"T");
    // A section whose logic suffix is in memory keeps it through undo.
    auto* s = dynamic_cast<CADSection*>(PlaceObject(doc, {0, {100, 800}, {300, 800}}));
    s->io.SetName(u"5DGA");
    const auto before = Drawing(doc);
    MoveAll(doc, 20, 20);
    doc.Undo();
    EXPECT_EQ(Drawing(doc), before);
    auto* back = dynamic_cast<CADSection*>(doc.Objects().back().get());
    EXPECT_EQ(back->io.Name(), u"5DGA");
    EXPECT_TRUE(doc.Objects().back()->IsVisible());
}

}  // namespace
}  // namespace velkor

namespace velkor {
namespace {

class Edits : public Undo {};

TEST_F(Edits, AnObjectEditDroppedWithoutCommitPutsTheObjectsBack) {
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &metrics;
    doc.OnNewDocument();
    PlaceObject(doc, {0, {100, 200}, {300, 200}});
    PlaceObject(doc, {0, {100, 300}, {300, 300}});
    const auto before = Drawing(doc);
    CADGraphic* untouched = doc.Objects()[1].get();
    int told = 0;
    doc.SetObjectsReplacedListener([&] { ++told; });
    {
        DocumentEdit edit(doc, "移动", {doc.Objects()[0].get(), untouched});
        doc.Objects()[0]->OffsetWindow(40, 40);
        // Dropped here, as by an error before Commit.
    }
    EXPECT_EQ(Drawing(doc), before);
    EXPECT_EQ(doc.Objects()[1].get(), untouched);  // only what changed is replaced
    EXPECT_EQ(told, 1);
    ASSERT_TRUE(doc.Undo());  // the placement, not the dropped move
    EXPECT_EQ(doc.Objects().size(), 1u);
    EXPECT_EQ(told, 2);
}

TEST_F(Edits, TableChangesMarkTheStationOnlyWhenCommitted) {
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &metrics;
    doc.OnNewDocument();
    {
        DocumentEdit edit(doc, "设置", DocumentEdit::Scope::TablesAndSettings);
        doc.displayCount = 7;
        doc.io.Table(kSectionTable).push_back(IoTables::NewRow(kSectionTable));
        doc.codes.physical.push_back(CodeTables::NewPhysicalRow());
    }
    EXPECT_EQ(doc.displayCount, 2);
    EXPECT_TRUE(doc.io.Table(kSectionTable).empty());
    EXPECT_TRUE(doc.codes.physical.empty());
    EXPECT_FALSE(doc.IsModified());

    DocumentEdit edit(doc, "设置", DocumentEdit::Scope::TablesAndSettings);
    doc.displayCount = 7;
    edit.Commit();
    EXPECT_EQ(doc.displayCount, 7);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(doc.CanUndo());  // tables and settings are not undone
}

TEST_F(Edits, ATableBuiltAnewReplacesTheRowsOnlyWhenCommitted) {
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &metrics;
    doc.OnNewDocument();
    auto& table = doc.codes.Table(kSwitchCode);
    Row old = CodeTables::NewRow(kSwitchCode);
    old.SetU16(0, 7);
    table = {old, old};
    const auto built = [] {
        Row r = CodeTables::NewRow(kSwitchCode);
        r.SetU16(0, 9);
        return std::vector<Row>{r};
    };
    { DocumentEdit dropped(doc, "创建码位表", table, built()); }
    EXPECT_EQ(table, (std::vector<Row>{old, old}));
    EXPECT_FALSE(doc.IsModified());

    DocumentEdit(doc, "创建码位表", table, built()).Commit();
    EXPECT_EQ(table, built());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(doc.CanUndo());
}

TEST_F(Edits, AChangeOfObjectsOutsideUndoEndsTheHistory) {
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &metrics;
    doc.OnNewDocument();
    PlaceObject(doc, {0, {100, 200}, {300, 200}});
    ASSERT_TRUE(doc.CanUndo());
    { DocumentEdit edit(doc, "读取输入板", DocumentEdit::Scope::AllObjects); }
    EXPECT_TRUE(doc.CanUndo());  // dropped: the history stays
    DocumentEdit edit(doc, "读取输入板", DocumentEdit::Scope::AllObjects);
    edit.Commit();
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_TRUE(doc.IsModified());
    doc.DiscardChanges();
    EXPECT_FALSE(doc.IsModified());
}

}  // namespace
}  // namespace velkor
