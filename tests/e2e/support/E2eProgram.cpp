#include "E2eProgram.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <csignal>

E2eProgram::E2eProgram(const QString &folderName)
{
    m_programFolder = m_root.filePath(folderName);
    QDir().mkpath(m_programFolder);
    const QString exe = m_programFolder + QStringLiteral("/TanvicQuorvel");
    QFile::copy(QStringLiteral(QUORVEL_EXE), exe);
    QFile::setPermissions(exe, QFile::permissions(exe) | QFileDevice::ExeOwner);

    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.filePath(QStringLiteral("config")));
    m_env.insert(QStringLiteral("XDG_DATA_HOME"), m_root.filePath(QStringLiteral("data")));
    const QString runtime = m_root.filePath(QStringLiteral("run"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    // A socket of its own: never a real speech-dispatcher, which the program would otherwise start.
    m_env.insert(QStringLiteral("SPEECHD_ADDRESS"), QStringLiteral("unix_socket:") + speechSocketPath());
    m_env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.qpa.*=false"));
    m_process.setProcessEnvironment(m_env);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

E2eProgram::~E2eProgram()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void E2eProgram::writeFile(const QString &path, const QByteArray &bytes) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QByteArray E2eProgram::readFile(const QString &path) const
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool E2eProgram::start()
{
    m_process.start(m_programFolder + QStringLiteral("/TanvicQuorvel"), {});
    if (!m_process.waitForStarted(10000))
        return false;
    mainWindow = waitForWindow(QStringLiteral("^TanvicQuorvel$"));
    if (mainWindow.isEmpty())
        return false;
    // Let the window manager finish framing and focusing it, as a user would before clicking.
    QThread::msleep(400);
    return true;
}

QProcess *E2eProgram::startAnother()
{
    auto *p = new QProcess;
    p->setProcessEnvironment(m_env);
    p->setProcessChannelMode(QProcess::MergedChannels);
    p->start(m_programFolder + QStringLiteral("/TanvicQuorvel"), {});
    return p;
}

bool E2eProgram::waitForExit(int ms)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(ms);
}

bool E2eProgram::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

int E2eProgram::exitCode() const
{
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

void E2eProgram::terminate(int sig)
{
    ::kill(static_cast<pid_t>(m_process.processId()), sig);
}

QByteArray E2eProgram::output() const
{
    return const_cast<QProcess &>(m_process).readAll();
}

QString E2eProgram::run(const QString &program, const QStringList &args, int timeoutMs)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QStringList E2eProgram::findWindows(const QString &nameRegex, bool onlyVisible)
{
    QStringList args{QStringLiteral("search")};
    if (onlyVisible)
        args << QStringLiteral("--onlyvisible");
    args << QStringLiteral("--name") << nameRegex;
    return run(QStringLiteral("xdotool"), args).split(u'\n', Qt::SkipEmptyParts);
}

QString E2eProgram::waitForWindow(const QString &nameRegex, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const QStringList ids = findWindows(nameRegex);
        if (!ids.isEmpty())
            return ids.constLast();
        QThread::msleep(100);
    }
    return {};
}

QString E2eProgram::waitForFloatingWindow(int timeoutMs) const
{
    for (QDeadlineTimer deadline(timeoutMs); !deadline.hasExpired(); QThread::msleep(100)) {
        QStringList ids = run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                          QStringLiteral("--class"), QStringLiteral("TanvicQuorvel")})
                              .split(u'\n', Qt::SkipEmptyParts);
        ids.removeAll(mainWindow);
        if (ids.size() == 1)
            return ids.first();
    }
    return {};
}

QString E2eProgram::startDrillByKeyboard() const
{
    activate(mainWindow);
    key(QStringLiteral("Tab Tab space")); // the delay box, the order box, the toggle
    return waitForWindowGone(mainWindow) ? waitForFloatingWindow() : QString();
}

bool E2eProgram::waitForWidth(const QString &windowId, const std::function<bool(int)> &ok, int timeoutMs)
{
    for (QDeadlineTimer deadline(timeoutMs); !deadline.hasExpired(); QThread::msleep(50)) {
        if (ok(geometry(windowId).width()))
            return true;
    }
    return false;
}

bool E2eProgram::waitForWindowGone(const QString &windowId, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (!isViewable(windowId))
            return true;
        QThread::msleep(100);
    }
    return false;
}

bool E2eProgram::waitForViewable(const QString &windowId, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!isViewable(windowId)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    return true;
}

QRect E2eProgram::geometry(const QString &windowId)
{
    // Absolute position of the client window, as xwininfo reports it.
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), windowId});
    auto field = [&](const QString &name) {
        for (const QString &line : info.split(u'\n')) {
            const QString t = line.trimmed();
            if (t.startsWith(name))
                return t.mid(name.size()).trimmed().toInt();
        }
        return -1;
    };
    return QRect(field(QStringLiteral("Absolute upper-left X:")), field(QStringLiteral("Absolute upper-left Y:")),
                 field(QStringLiteral("Width:")), field(QStringLiteral("Height:")));
}

QStringList E2eProgram::netWmState(const QString &windowId)
{
    const QString out = run(QStringLiteral("xprop"), {QStringLiteral("-id"), windowId, QStringLiteral("_NET_WM_STATE")});
    const int eq = out.indexOf(u'=');
    if (eq < 0)
        return {};
    QStringList states;
    for (const QString &s : out.mid(eq + 1).split(u',', Qt::SkipEmptyParts))
        states << s.trimmed();
    return states;
}

bool E2eProgram::isViewable(const QString &windowId)
{
    return run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), windowId}).contains(QStringLiteral("IsViewable"));
}

void E2eProgram::closeWindow(const QString &windowId)
{
    // _NET_CLOSE_WINDOW through the window manager, exactly what the close box sends.
    run(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-c"), windowId});
}

void E2eProgram::click(int x, int y, int button)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(x), QString::number(y),
                                    QStringLiteral("sleep"), QStringLiteral("0.1"), QStringLiteral("click"),
                                    QString::number(button)});
}

void E2eProgram::doubleClick(int x, int y)
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(x), QString::number(y), QStringLiteral("sleep"),
         QStringLiteral("0.1"), QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
         QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
}

void E2eProgram::drag(int fromX, int fromY, int toX, int toY, int button)
{
    const QString b = QString::number(button);
    QStringList args{QStringLiteral("mousemove"), QString::number(fromX), QString::number(fromY),
                     QStringLiteral("sleep"), QStringLiteral("0.1"), QStringLiteral("mousedown"), b};
    // Travel in steps, as a hand does, so the program sees real motion.
    for (int i = 1; i <= 10; ++i) {
        args << QStringLiteral("sleep") << QStringLiteral("0.03") << QStringLiteral("mousemove")
             << QString::number(fromX + (toX - fromX) * i / 10) << QString::number(fromY + (toY - fromY) * i / 10);
    }
    args << QStringLiteral("sleep") << QStringLiteral("0.2") << QStringLiteral("mouseup") << b;
    run(QStringLiteral("xdotool"), args);
}

void E2eProgram::key(const QString &keys)
{
    // Several keys separated by spaces, pressed one after another.
    run(QStringLiteral("xdotool"),
        QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("50")} + keys.split(u' ', Qt::SkipEmptyParts));
}

void E2eProgram::type(const QString &text)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
}

void E2eProgram::activate(const QString &windowId)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), windowId});
}

QString E2eProgram::activeWindow()
{
    return run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")});
}

bool E2eProgram::screenshot(const QString &pngPath)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/import"), {QStringLiteral("-window"), QStringLiteral("root"), pngPath});
    return p.waitForFinished(15000) && p.exitCode() == 0;
}
