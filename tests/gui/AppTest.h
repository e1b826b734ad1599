#pragma once
#include <gtest/gtest.h>

#include <QSettings>
#include <memory>

#include "shell/CMainFrame.h"
#include "shell/CVelkorApp.h"
#include "support/ScriptedInteraction.h"

namespace velkor::gui {

// The desktop program with one new station open in a shown main window;
// questions are answered by a script and nothing is saved at the end.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings(kSettingsOrganisation, QStringLiteral("Velkor")).clear();
        app = std::make_unique<CVelkorApp>(&ui);
        app->MainFrame().resize(1400, 900);
        app->MainFrame().show();
        app->NewDocument();
    }
    void TearDown() override {
        for (CChildFrame* c : frame().Children()) c->Doc().DiscardChanges();
        frame().close();
        app.reset();
    }
    CMainFrame& frame() { return app->MainFrame(); }
    CChildView& view() { return frame().ActiveChild()->View(); }
    CVelkorDoc& doc() { return frame().ActiveChild()->Doc(); }

    velkor::testing::ScriptedInteraction ui;
    std::unique_ptr<CVelkorApp> app;
};

}  // namespace velkor::gui
