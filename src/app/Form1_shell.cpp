// The main window's shell integration: the Start-menu entry, the web links and the About window.
#include "Form1.h"

#include "about/frmAbout.h"
#include "shell/AppInfo.h"
#include "shell/ClickWatcher.h"
#include "shell/FileNames.h"
#include "shell/Pictures.h"
#include "shell/Shortcut.h"
#include "shell/SystemFolders.h"
#include "shell/WebLinks.h"
#include "ui_Form1.h"
#include "wordlist/WordListModel.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPixmap>

void Form1::makeStartMenuEntry()
{
    // Nothing here may keep the program from starting: every failure is passed over.
    Module1::LoadSystemFolders();
    QString programs = Module1::systemFolders().ProgramsDir;
    // Without a Programs folder the path would start at the root of the drive.
    if (programs.isEmpty())
        return;
    const QChar sep = Module1::pathSeparator();
    if (!programs.endsWith(sep))
        programs += sep;
    Module1::systemFolders().ProgramsDir = programs;

    // Only the folder the program adds is cleaned; the Programs folder is the system's.
    QString folder = Module1::MakeFolderPath(programs + QStringLiteral("Tanvic软件") + sep, programs.size());
    QString target = m_context.executablePath;
    if (target.isEmpty())
        return;
    target = QDir::toNativeSeparators(target);
    Module1::MakeShortcut(AppInfo::title(), AppInfo::description(), target, folder);
}

void Form1::connectShellSignals()
{
    m_ui->Image1->setPixmap(
        Pictures::forDensity(QStringLiteral(":/pictures/Image1.png"), devicePixelRatioF()));
    auto *banner = new ClickWatcher(m_ui->Image1);
    connect(banner, &ClickWatcher::clicked, this, &Form1::Image1_Click);

    // The floating window's double-click hands over its word already prepared.
    connect(this, &Form1::wordLookupRequested, this, &Form1::openDictionaryPage);
    connect(m_listMenu.lookUp, &QAction::triggered, this, &Form1::menu在线翻译_Click);
    connect(m_listMenu.options, &QAction::triggered, this, &Form1::menu选项_Click);
    connect(m_listMenu.about, &QAction::triggered, this, &Form1::menu关于_Click);
}

void Form1::openDictionaryPage(const QString &preparedWord)
{
    Module1::OpenDictionaryPage(m_context.launcher, preparedWord);
}

void Form1::menu在线翻译_Click()
{
    const int row = currentEntryRow();
    if (row < 0 || row >= m_wordList->count())
        return;
    openDictionaryPage(WebLinks::prepareWord(m_wordList->word(row).toString()));
}

void Form1::Image1_Click()
{
    // Exactly as if the user had switched the drill on: with an empty list that is a message and
    // the toggle goes back off; the home page opens either way.
    m_ui->Check1->setChecked(true);
    Module1::OpenHomePage(m_context.launcher);
}

void Form1::menu关于_Click()
{
    // Modal, without an owner; a fresh window each time.
    frmAbout about(m_context.launcher, m_context.dialogs);
    about.centreOn(screen()); // on the main window's monitor
    about.exec();
}
