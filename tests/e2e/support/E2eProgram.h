#pragma once

#include <QByteArray>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// The real TanvicQuorvel, copied into a temporary program folder and started in the X server
// that run-in-x provides, driven with xdotool and read with xprop, like a user would.
class E2eProgram
{
public:
    // `folderName` is the program folder's name inside the temporary root; it may hold spaces.
    explicit E2eProgram(const QString &folderName = QStringLiteral("程序 folder"));
    ~E2eProgram();

    QString programFolder() const { return m_programFolder; }
    QString root() const { return m_root.path(); }
    QString wordBankPath() const { return m_programFolder + QStringLiteral("/wb.dcb"); }
    QString settingsPath() const { return m_root.filePath(QStringLiteral("config/TanvicQuorvel.conf")); }
    // Where the program looks for speech-dispatcher; nobody listens there unless a test does.
    QString speechSocketPath() const { return m_root.filePath(QStringLiteral("speechd/speechd.sock")); }
    QProcessEnvironment environment() const { return m_env; }
    // For the next start().
    void setEnvironmentVariable(const QString &name, const QString &value)
    {
        m_env.insert(name, value);
        m_process.setProcessEnvironment(m_env);
    }

    void writeFile(const QString &path, const QByteArray &bytes) const;
    QByteArray readFile(const QString &path) const;

    // Starts the program and waits until its main window is mapped; false on timeout.
    bool start();
    // Starts another process of the same program (the second-instance case).
    QProcess *startAnother();
    bool waitForExit(int ms = 15000);
    bool isRunning() const;
    int exitCode() const;
    void terminate(int signal);
    QByteArray output() const;

    // X helpers. Window ids are decimal strings as xdotool prints them.
    static QString run(const QString &program, const QStringList &args, int timeoutMs = 10000);
    static QStringList findWindows(const QString &nameRegex, bool onlyVisible = true);
    QString waitForWindow(const QString &nameRegex, int timeoutMs = 10000) const;
    // The program's one visible window besides the main window: while a drill runs, the floating one.
    QString waitForFloatingWindow(int timeoutMs = 10000) const;
    // Starts a drill from the keyboard (Tab to the toggle, Space) and returns the floating
    // window once the main window has gone; empty when either did not happen.
    QString startDrillByKeyboard() const;
    static bool waitForWidth(const QString &windowId, const std::function<bool(int)> &ok, int timeoutMs = 10000);
    bool waitForWindowGone(const QString &windowId, int timeoutMs = 10000) const;
    // Waits until the window is mapped and viewable again (a window brought back from hiding).
    static bool waitForViewable(const QString &windowId, int timeoutMs = 5000);
    static QRect geometry(const QString &windowId);
    static QStringList netWmState(const QString &windowId);
    static bool isViewable(const QString &windowId);
    static void closeWindow(const QString &windowId); // as the close box does
    static void click(int x, int y, int button = 1);
    static void doubleClick(int x, int y);
    static void drag(int fromX, int fromY, int toX, int toY, int button = 1);
    static void key(const QString &keys);
    static void type(const QString &text);
    static void activate(const QString &windowId);
    static QString activeWindow();
    static bool screenshot(const QString &pngPath);

    QString mainWindow; // set by start()

private:
    QTemporaryDir m_root;
    QString m_programFolder;
    QProcessEnvironment m_env;
    QProcess m_process;
};
