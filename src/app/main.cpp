#include "ChineseTexts.h"
#include "Form1.h"
#include "speech/SpeechEngine.h"
#include "InstanceLock.h"
#include "Settings.h"
#include "TerminationSignals.h"
#include "import/BackgroundWork.h"
#include "shell/AppInfo.h"
#include "shell/DesktopLauncher.h"
#include "shell/QtDialogs.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppInfo::title());
    // Every window and the notification-area icon take the program's icon from here.
    QIcon icon;
    for (const int size : AppInfo::kIconSizes)
        icon.addFile(AppInfo::iconResource(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(AppInfo::versionMajor())
                                            .arg(AppInfo::versionMinor())
                                            .arg(AppInfo::versionRevision()));
    // The drill hides the main window; the program ends only through its shutdown sequence.
    QApplication::setQuitOnLastWindowClosed(false);
    ChineseTexts::install(app);

    QtDialogs dialogs;
    DesktopLauncher launcher;

    AppContext context{.programFolder = QApplication::applicationDirPath(),
                       .executablePath = QApplication::applicationFilePath(),
                       .settingsPath = QString(),
                       .instanceLockPath = QString(),
                       .dialogs = dialogs,
                       .launcher = launcher,
                       .makeSpeechEngine = [](QObject *parent) { return SpeechEngine::create(parent); }};
    context.instanceLockPath = InstanceLock::defaultPath();

    Form1 form(context);
    QObject::connect(&form, &Form1::programEnded, &app, [] {
        // Everything is saved: a worker step still running is not waited for.
        BackgroundWork::abandonRunningSteps(0);
        QCoreApplication::exit(0);
    }, Qt::QueuedConnection);

    TerminationSignals signals;
    QObject::connect(&signals, &TerminationSignals::terminationRequested, &form, &Form1::shutdown);
    // The end of the desktop session. The system asks first (Windows: WM_QUERYENDSESSION; X11: the
    // session manager's save request), and the session may still go on (a sign-out cancelled):
    // everything is saved then, and the program runs on. When the session really ends (Windows:
    // WM_ENDSESSION, on which Qt emits aboutToQuit at once and quits; X11: the session manager's
    // "die"), the shutdown sequence runs before the call returns, as the system may end the
    // process right after.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form](QSessionManager &) {
        form.saveForSessionEnd();
    });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form, &Form1::shutdown);

    form.Form_Load();
    // A shutdown while a start-up message was open has run already; the event loop it asked to
    // leave was not running yet, so it would never be left.
    if (form.hasEnded())
        return 0;
    form.setupTray();
    form.showAtStart();
    return QApplication::exec();
}
