#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include "QtTextMetrics.h"
#include "dialogs/PropertyDialog.h"
#include "dialogs/TableDialog.h"
#include "document/CVelkorDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CVelkorApp.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkor"));
    QApplication::setOrganizationName(QString::fromUtf8(velkor::gui::kSettingsOrganisation));
    velkor::gui::CVelkorApp app;
    // Labels are placed with the fonts the program paints with.
    app.Drawing().metrics = &velkor::UseQtTextMetrics();
    QStringList args = QApplication::arguments().mid(1);
    // --screenshot FILE: shows the program, writes a picture of its window
    // and ends; for the README and for looking at it without a display.
    QString screenshot;
    const int at = args.indexOf(QStringLiteral("--screenshot"));
    if (at >= 0 && at + 1 < args.size()) {
        screenshot = args[at + 1];
        args.remove(at, 2);
    }
    // --dialog N with --screenshot: the picture is of the property dialog of
    // the station's object N (as velkor-cli props --list numbers them),
    // opened and left without a change.
    int dialogObject = -1;
    const int dialogAt = args.indexOf(QStringLiteral("--dialog"));
    if (dialogAt >= 0 && dialogAt + 1 < args.size()) {
        dialogObject = args[dialogAt + 1].toInt();
        args.remove(dialogAt, 2);
    }
    // --zoom PERCENT: the drawing shown at that zoom.
    int zoomPercent = 0;
    const int zoomAt = args.indexOf(QStringLiteral("--zoom"));
    if (zoomAt >= 0 && zoomAt + 1 < args.size()) {
        zoomPercent = args[zoomAt + 1].toInt();
        args.remove(zoomAt, 2);
    }
    // --table NAME with --screenshot: the picture is of that input table's
    // dialog (区段 ... or Section ...).
    int tableDialog = -1;
    const int tableAt = args.indexOf(QStringLiteral("--table"));
    if (tableAt >= 0 && tableAt + 1 < args.size()) {
        tableDialog = velkor::InputTableByName(args[tableAt + 1].toStdString());
        args.remove(tableAt, 2);
    }
    // --autosave-minutes M: the minutes between recovery copies, kept as
    // the setting.
    const int autosaveAt = args.indexOf(QStringLiteral("--autosave-minutes"));
    if (autosaveAt >= 0 && autosaveAt + 1 < args.size()) {
        app.SetAutosaveMinutes(args[autosaveAt + 1].toDouble());
        args.remove(autosaveAt, 2);
    }
    if (screenshot.isEmpty()) {
        app.MainFrame().showMaximized();
    } else {
        app.MainFrame().resize(1600, 1000);
        app.MainFrame().show();
    }
    app.ProcessCommandLine(args);
    // Stations a program that did not end normally left copies of.
    if (screenshot.isEmpty()) QTimer::singleShot(0, &app, [&app] { app.OfferRecoveries(); });
    if (zoomPercent > 0) {
        if (velkor::gui::CChildFrame* child = app.MainFrame().ActiveChild())
            child->View().SetZoom(zoomPercent / 100.0, {0, 0});
    }
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(500, [&] {
            app.MainFrame().UpdateCommandStates();
            velkor::gui::CChildFrame* child = app.MainFrame().ActiveChild();
            if (tableDialog >= 0 && child) {
                velkor::gui::TableDialog dialog(child->Doc(), tableDialog, &app.MainFrame());
                dialog.show();
                QApplication::processEvents();
                dialog.grab().save(screenshot);
                // Hidden, not closed: closing would store the grid.
                dialog.hide();
                QApplication::quit();
                return;
            }
            if (dialogObject >= 0 && child &&
                static_cast<size_t>(dialogObject) < child->Doc().Objects().size()) {
                velkor::CVelkorDoc& doc = child->Doc();
                const auto form = velkor::MakePropertyForm(
                    *doc.Objects()[static_cast<size_t>(dialogObject)], doc);
                if (form) {
                    velkor::gui::PropertyDialog dialog(*form, &app.MainFrame());
                    dialog.show();
                    QApplication::processEvents();
                    dialog.grab().save(screenshot);
                    doc.DiscardChanges();
                    QApplication::quit();
                    return;
                }
            }
            app.MainFrame().grab().save(screenshot);
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
