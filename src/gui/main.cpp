#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include "QtTextMetrics.h"
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
    if (screenshot.isEmpty()) {
        app.MainFrame().showMaximized();
    } else {
        app.MainFrame().resize(1600, 1000);
        app.MainFrame().show();
    }
    app.ProcessCommandLine(args);
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(500, [&] {
            app.MainFrame().UpdateCommandStates();
            app.MainFrame().grab().save(screenshot);
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
