#include "Form1.h"

#include "ExitRescue.h"
#include "InstanceLock.h"
#include "ProgramFolder.h"
#include "Settings.h"
#include "import/BackgroundWork.h"
#include "shell/AppInfo.h"
#include "shell/Dialogs.h"
#include "shell/GlobalHotkeys.h"
#include "speech/SpeechEngine.h"
#include "ui_Form1.h"
#include "widgets/FixedWindow.h"
#include "wordlist/BankAutosave.h"
#include "wordlist/WordBank.h"
#include "wordlist/WordListHistory.h"
#include "wordlist/WordListModel.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUndoStack>

namespace {
const QString kDelayKey = QStringLiteral("延时");
const QString kOrderKey = QStringLiteral("次序");

// Sets a drop-down box to one of its own entries; a value it does not offer leaves it as it was.
void setComboText(QComboBox *box, const QString &text)
{
    const int i = box->findText(text, Qt::MatchExactly);
    if (i >= 0)
        box->setCurrentIndex(i);
}
} // namespace

Form1::Form1(const AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context), m_ui(std::make_unique<Ui::Form1>())
{
    m_ui->setupUi(this);
    // A fixed-size window with a close box only.
    FixedWindow::setUp(this, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 255, 192));
    setPalette(pal);
    setAutoFillBackground(true);
    // Narrow drop-down boxes as designed: a slim arrow leaves room for "顺序" and "50".
    const QString slimCombo = QStringLiteral("QComboBox { padding: 0px 1px 0px 3px; } QComboBox::drop-down { width: 13px; }");
    m_ui->Combo1->setStyleSheet(slimCombo);
    m_ui->Combo2->setStyleSheet(slimCombo);

    m_wordList = new WordListModel(this);

    m_Timer1 = new QTimer(this);
    m_Timer1->setObjectName(QStringLiteral("Timer1"));
    m_Timer1->setInterval(1000);
    m_Timer2 = new QTimer(this);
    m_Timer2->setObjectName(QStringLiteral("Timer2"));
    m_Timer2->setInterval(300);
    m_Timer2->setSingleShot(true);

    setupWordList();
    setupDrill();
    connectSignals();
}

Form1::~Form1()
{
    ExitRescue::disarm();
}

void Form1::connectSignals()
{
    connect(m_Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connectWordListSignals();
    connectDrillSignals();
    connectImportSignals();
    connectShellSignals();
}

bool Form1::claimSingleInstance()
{
    if (m_context.instanceLockPath.isEmpty())
        return true;
    bool otherInstance = false;
    m_instanceLock = InstanceLock::claim(m_context.instanceLockPath, &otherInstance);
    return !otherInstance;
}

void Form1::Form_Load()
{
    // One instance per user: the test comes before anything is read or written.
    if (!claimSingleInstance()) {
        m_secondInstanceFound = true;
        hide();
        m_Timer2->start();
        return;
    }

    // The word bank lives beside the executable.
    m_wordBank.emplace(QDir(m_context.programFolder).filePath(AppInfo::wordBankName()));

    // Load the word bank; its raw text is not kept. From then on every change can be taken back
    // and reaches the bank within seconds.
    const WordBank::Load loaded = m_wordBank->load(*m_wordList);
    m_knownMarks.emplace(QDir(m_context.programFolder).filePath(AppInfo::knownMarksName()), WordBank::Holds::KnownMarks);
    m_knownMarks->load(*m_wordList);
    startHistory(loaded == WordBank::Load::Missing);

    // The drill settings: delay and order.
    m_settings = std::make_unique<Settings>(m_context.settingsPath);
    setComboText(m_ui->Combo1, m_settings->value(kDelayKey, QStringLiteral("10")));
    setComboText(m_ui->Combo2, m_settings->value(kOrderKey, QStringLiteral("顺序")));
    // The drill's options, and its position where the last run left it.
    m_drillOptions = DrillOptions::load(*m_settings);
    applyDrillOptions();
    restoreDrillPosition();
    setupSpeech();
    setupGlobalKeys();

    // Fill the word-file box from the program folder.
    载入单词文件下拉框();

    // Write the Start-menu entry (a shell link on Windows, a desktop entry elsewhere).
    makeStartMenuEntry();

    // Should the process end without the shutdown sequence (the X server gone), the list is
    // written on the way out, without a window (ExitRescue).
    ExitRescue::arm([this] {
        if (m_autosave)
            m_autosave->saveNow();
        if (m_marksAutosave)
            m_marksAutosave->saveNow();
    });

    if (!m_wordBank->mayOverwrite()) {
        m_context.dialogs.message(
            nullptr, Dialogs::Icon::Warning,
            QStringLiteral("无法读取词库“%1”：%2\n\n为免丢失其中的单词，本次退出时不会覆盖这个文件。")
                .arg(QDir::toNativeSeparators(m_wordBank->path()), m_wordBank->error()));
    }
    // Told now, not only when the exit-time save fails, naming what stands in the way.
    switch (ProgramFolder::wordBankPlace(m_context.programFolder, m_wordBank->path())) {
    case ProgramFolder::BankPlace::Writable:
        break;
    case ProgramFolder::BankPlace::FolderNotWritable:
        m_context.dialogs.message(
            nullptr, Dialogs::Icon::Warning,
            ProgramFolder::notWritableMessage(m_context.programFolder, ProgramFolder::suggestedCopyFolder()));
        break;
    case ProgramFolder::BankPlace::BankReadOnly:
        m_context.dialogs.message(nullptr, Dialogs::Icon::Warning,
                                   ProgramFolder::readOnlyBankMessage(m_wordBank->path()));
        break;
    }
}

void Form1::showAtStart()
{
    // A shutdown during start-up (a termination signal while the start-up message was open) has
    // ended the program: the window must not come back.
    if (m_secondInstanceFound || m_unloaded)
        return;
    // Centred on the screen when first shown.
    FixedWindow::centre(this, QGuiApplication::primaryScreen(), FixedWindow::SparePixel::Before);
    show();
}

void Form1::Timer2_Timer()
{
    m_Timer2->stop();
    close();
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (BackgroundWork::mustFinishRunning() && !m_unloaded) {
        // A file the user asked for is being written: it finishes first, then the program closes.
        event->ignore();
        shutdown();
        return;
    }
    event->accept();
    Form_Unload();
}

void Form1::shutdown()
{
    if (m_unloaded)
        return;
    if (BackgroundWork::mustFinishRunning()) {
        // Never in the middle of writing a file the user asked for: right after it, once. Any
        // other step is abandoned instead: it has not touched the list, so the list is saved
        // as it is, and the program ends without waiting for the step (BackgroundWork).
        if (!m_shutdownPending) {
            m_shutdownPending = true;
            BackgroundWork::afterCurrentStep(this, [this] {
                m_shutdownPending = false;
                shutdown();
            });
        }
        return;
    }
    close();
}

void Form1::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    ExitRescue::disarm();
    hide();
    // Gone from the notification area now: the process may end without its destructors (a worker
    // step abandoned at shutdown), which on Windows would leave the icon behind.
    if (m_tray)
        m_tray->hide();
    m_Timer1->stop();
    // Keys go back to the system now: the process may end without its destructors.
    if (m_globalKeys)
        m_globalKeys->releaseAll();
    stopDrillForShutdown();
    if (!m_secondInstanceFound) {
        // The words reach the disk before any message: a box left open at the end of a session
        // would otherwise stand between them and the disk until the system kills the program.
        QString settingsError;
        const bool settingsStored = writeSettings(&settingsError);
        saveWordBank();
        saveKnownMarks();
        if (!settingsStored)
            m_context.dialogs.message(nullptr, Dialogs::Icon::Critical,
                                      QStringLiteral("无法保存设置（延时和次序）：%1").arg(settingsError));
    }
    Q_EMIT programEnded();
}

void Form1::saveForSessionEnd()
{
    if (m_unloaded || m_secondInstanceFound || !m_wordBank)
        return;
    // No message here: a box would hold up the system's question. A failure is told by the
    // shutdown sequence, which saves again.
    if (m_autosave)
        m_autosave->saveNow();
    if (m_marksAutosave)
        m_marksAutosave->saveNow();
    QString ignored;
    writeSettings(&ignored);
}

bool Form1::writeSettings(QString *error)
{
    if (!m_settings)
        return true;
    m_settings->setValue(kDelayKey, m_ui->Combo1->currentText());
    m_settings->setValue(kOrderKey, m_ui->Combo2->currentText());
    saveDrillPosition();
    return m_settings->sync(error);
}

bool Form1::保存单词列表(const QString &path, QString *error)
{
    return WordBank::saveTo(*m_wordList, path, error);
}

void Form1::startHistory(bool bankMissing)
{
    m_history = new WordListHistory(*m_wordList, this);
    QUndoStack &stack = m_history->stack();
    m_listMenu.undo->setEnabled(false);
    m_listMenu.redo->setEnabled(false);
    connect(&stack, &QUndoStack::canUndoChanged, m_listMenu.undo, &QAction::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, m_listMenu.redo, &QAction::setEnabled);
    connect(m_listMenu.undo, &QAction::triggered, m_history, &WordListHistory::undo);
    connect(m_listMenu.redo, &QAction::triggered, m_history, &WordListHistory::redo);

    // A bank that does not exist yet is written at exit even if nothing changes, as it always was.
    m_autosave = new BankAutosave(*m_wordBank, *m_wordList, bankMissing, this);
    // Marks of a bank that could not be read name entries not in the list: leave them be.
    if (m_wordBank->mayOverwrite())
        m_marksAutosave = new BankAutosave(*m_knownMarks, *m_wordList, false, this);
    connect(m_autosave, &BankAutosave::saved, this, [this] { m_autosaveFailing = false; });
    connect(m_autosave, &BankAutosave::failed, this, [this](const QString &error) {
        // Said once, quietly, where the user will see it; the exit save still speaks up.
        if (m_autosaveFailing || !m_tray || !m_tray->isVisible())
            return;
        m_autosaveFailing = true;
        m_tray->showMessage(AppInfo::title(),
                            QStringLiteral("无法自动保存词库“%1”：%2\n单词仍在列表中，退出时会再试一次。")
                                .arg(QDir::toNativeSeparators(m_wordBank->path()), error),
                            QSystemTrayIcon::Warning);
    });
}

void Form1::saveKnownMarks()
{
    if (!m_knownMarks || !m_marksAutosave)
        return;
    m_marksAutosave->stop();
    if (m_marksAutosave->isDirty())
        m_knownMarks->save(*m_wordList);
}

void Form1::saveWordBank()
{
    if (!m_wordBank)
        return;
    if (m_autosave) {
        // A background save of the whole list already under way is finished first; a list the bank
        // already holds is not written again.
        m_autosave->stop();
        if (!m_autosave->isDirty() && m_wordBank->mayOverwrite())
            return;
    }
    QString failure;
    switch (m_wordBank->save(*m_wordList)) {
    case WordBank::Save::Saved:
    case WordBank::Save::Skipped:
        return;
    case WordBank::Save::Withheld:
        failure = QStringLiteral("启动时无法读取词库“%1”，因此没有覆盖它。\n\n请另选位置保存当前的单词列表。")
                      .arg(QDir::toNativeSeparators(m_wordBank->path()));
        break;
    case WordBank::Save::Failed:
        failure = QStringLiteral("无法保存词库“%1”：%2\n\n原来的词库文件没有改动。请另选位置保存当前的单词列表。")
                      .arg(QDir::toNativeSeparators(m_wordBank->path()), m_wordBank->error());
        break;
    }
    // Offer to keep the list elsewhere until it is saved or the user declines. The dialog opens
    // in the user's documents, not in the folder that has just refused the bank; declining is
    // asked once more, since it loses the session's words.
    QString error;
    const Dialogs::FileRequest request{ProgramFolder::documentsFolder(), QString(),
                                       QStringLiteral("*.txt (*.txt)"), QStringLiteral("txt")};
    for (bool tell = true;;) {
        if (tell)
            m_context.dialogs.message(nullptr, Dialogs::Icon::Critical, failure);
        const QString path = m_context.dialogs.saveFileName(nullptr, request);
        if (path.isEmpty()) {
            if (m_context.dialogs.ask(nullptr, QStringLiteral("不保存就退出吗？本次的单词将会丢失。"),
                                      QStringLiteral("不保存，退出"), QStringLiteral("返回保存")))
                return;
            tell = false;
            continue;
        }
        if (保存单词列表(path, &error))
            return;
        failure = QStringLiteral("无法保存“%1”：%2").arg(QDir::toNativeSeparators(path), error);
        tell = true;
    }
}

void Form1::updateCountLabel()
{
    m_ui->Label2->setText(QStringLiteral("词汇量:") + QString::number(m_wordList->count()));
    m_ui->Label2->setAccessibleName(m_ui->Label2->text());
    m_ui->Label2->adjustSize();
}
