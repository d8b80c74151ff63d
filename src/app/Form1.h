#pragma once

#include "AppContext.h"
#include "drill/DrillController.h"
#include "drill/DrillOptions.h"
#include "drill/FormOptions.h"
#include "drill/FormShowWord.h"
#include "wordlist/WordBank.h"
#include "wordlist/WordListSorter.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class BankAutosave;
class GlobalHotkeys;
class SpeechEngine;
class QAction;
class QLockFile;
class QMenu;
class QSystemTrayIcon;
class QTimer;
class Settings;
class WordListHistory;
class WordListModel;

namespace Ui {
class Form1;
}

// The main window: start-up and shutdown, the word list and its commands, the drill toggle, the
// word-file row. Handlers keep the program's own names and are wired in connectSignals(); the work
// they forward to lives in logic that tests can call without a window.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    explicit Form1(const AppContext &context, QWidget *parent = nullptr);
    ~Form1() override;

    // The start-up sequence. A second instance hides itself and ends 300 ms later through Timer2.
    void Form_Load();
    // Shows the window after a first instance's start-up.
    void showAtStart();
    // Runs the shutdown sequence once (close box, "退出", end of session, termination signals),
    // from any moment: while a file the user asked for is being written, right after that.
    void shutdown();
    // The shutdown sequence has run: the program is ending.
    bool hasEnded() const { return m_unloaded; }
    // The desktop session may be about to end (the system asks first, and the answer may still be
    // no): writes the bank and the settings now, without a word and without ending. The shutdown
    // sequence follows only when the session really ends.
    void saveForSessionEnd();

    bool isSecondInstance() const { return m_secondInstanceFound; }
    WordListModel *wordList() const { return m_wordList; }
    // Set at start-up of a first instance, once the bank is in the list.
    WordListHistory *history() const { return m_history; }
    BankAutosave *autosave() const { return m_autosave; }
    const AppContext &context() const { return m_context; }

    // Refills the word-file box from the program folder (载入单词文件下拉框), as start-up and every
    // save do.
    void refreshWordFiles() { 载入单词文件下拉框(); }

    // The drill's timing and choice of entries (tests give it a scripted chance).
    DrillScheduler &drillScheduler() { return m_drillController->scheduler(); }
    // The drill's state and actions; every surface (floating window, tray, keys) goes through it.
    DrillController *drillController() const { return m_drillController; }
    // Starts a drill when none runs, else stops it and shows the main window: the tray's first
    // entry and the start/stop key.
    void startOrStopDrill();
    const DrillOptions &drillOptions() const { return m_drillOptions; }
    // What the options window says about each action's key ("已注册", …); without a source it
    // says the key is not registered.
    void setKeyStateSource(std::function<QString(DrillOptions::KeyAction)> source) { m_keyState = std::move(source); }
    // Opens the options window (the list menu's and the tray's "选项").
    void menu选项_Click();
    // The floating word window while a drill runs, otherwise null.
    FormShowWord *floatingWindow() const { return m_FormShowWord.get(); }

    // Puts the running program's icon in the notification area (a first instance only, before the
    // main window is first shown). Its menu starts or stops the drill, shows the main window and
    // exits.
    void setupTray();
    QMenu *trayMenu() const { return m_trayMenu; }

Q_SIGNALS:
    // The shutdown sequence has run; the program ends now.
    void programEnded();
    // A double-click on the floating window's text asks for this word in the online dictionary.
    void wordLookupRequested(const QString &word);
    // The learner changed an action's key in the options window (QKeySequence::PortableText,
    // empty for none); Cancel sends the earlier key back the same way.
    void drillKeyChanged(DrillOptions::KeyAction action, const QString &key);
    // The options were applied (OK in the options window).
    void drillOptionsChanged();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void connectSignals();
    void Form_Unload();
    // Writes the whole list to `path` in the word-pair format (GBK, CR LF), atomically.
    bool 保存单词列表(const QString &path, QString *error);
    // "词汇量:" and the number of entries now in the list.
    void updateCountLabel();
    // Refills the word-file box from the program folder; called at start-up and after saving.
    void 载入单词文件下拉框();
    void Timer2_Timer();
    // Stores the two settings; false with the reason when the store refused them.
    bool writeSettings(QString *error);
    void saveWordBank();
    // Undo and background saving, from the list as the bank and the known marks left it.
    void startHistory(bool bankMissing);
    // Writes the known marks at exit if they changed; quietly, since the entries themselves are safe.
    void saveKnownMarks();
    bool claimSingleInstance();

    // Word list (list view, sorting, pop-up menu, edit dialog, save as).
    void setupWordList();
    void connectWordListSignals();
    void ListView1_ColumnClick(int column);
    void ListView1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, const QPoint &pos);
    void ListView1_DblClick();
    void menu删除_Click();
    void menu修改_Click();
    void menu清空列表_Click();
    // "标记为已掌握" / "取消已掌握" for the selected entries.
    void markSelectedKnown(bool known);
    void menu列表另存为_Click();
    // The row of the list's current entry (the selected one), or -1 when there is none. The
    // commands for one entry and the drill's position in list order both use it.
    int currentEntryRow() const;
    // Opens the list menu at the current row, as the menu key and Shift+F10 do.
    void popupListMenuAtCurrentRow();

    // The drill.
    void setupDrill();
    void connectDrillSignals();
    void stopDrillForShutdown();
    void Check1_Click();
    void Timer1_Timer();
    // Shows the next entry of the drill: chooses it, selects it in the list, hands its text to
    // the floating window.
    void 显示单词对照();
    void startDrill();
    void stopDrill();
    void loadFormShowWord();
    void unloadFormShowWord();
    void FormShowWord_Stop();
    // Selects the entry the drill chose, scrolls it into view and hands its text to the window.
    void showDrillEntry(int row);
    // The drill cannot start, or ran out of entries: the message that says why.
    void tellDrillRefused(DrillController::Refusal why);
    void applyDrillOptions();
    // The drill's position kept across restarts: the selected entry's word and meaning.
    void restoreDrillPosition();
    void saveDrillPosition();
    // Where the main window goes while a drill runs: out of sight, yet one key away (the
    // notification-area icon, or the taskbar and Alt+Tab where there is no notification area).
    void stepAsideForDrill();
    bool drillRunning() const;

    void updateTrayMenu();
    void showMainWindow();

    // Word files and import.
    void connectImportSignals();
    void Command5_Click();
    void menu导入单词_Click();

    // Shell integration: Start-menu entry, web links, About.
    void connectShellSignals();
    void makeStartMenuEntry();
    void menu在线翻译_Click();

    // Speech: "朗读" and speaking each entry as the drill shows it.
    void setupSpeech();
    void updateSpeechActions();

    // Keys that work in any program (a first instance only).
    void setupGlobalKeys();
    void globalKeyPressed(DrillOptions::KeyAction action);
    bool speechAvailable() const;
    QString speechUnavailableReason() const;
    // The voices the options window offers, or why there are none.
    FormOptions::SpeechChoices speechChoices() const;
    // Speaks an entry's word with the voice for its script; nothing while there is no engine.
    void speakWord(const QString &word);
    void menu朗读_Click();
    void Image1_Click();
    void menu关于_Click();
    // Looks a word up in the online dictionary. The word is already prepared (spaces at both ends
    // and one final "/" removed, WebLinks::prepareWord); the floating window's double-click and the
    // list menu's "在线翻译" both end here.
    void openDictionaryPage(const QString &preparedWord);

    AppContext m_context;
    std::unique_ptr<Ui::Form1> m_ui;
    WordListModel *m_wordList = nullptr;
    QMenu *m_menu列表 = nullptr;
    // The list menu's commands ("删除" … "退出").
    struct ListMenu
    {
        QAction *remove = nullptr, *edit = nullptr, *undo = nullptr, *redo = nullptr, *markKnown = nullptr,
                *unmarkKnown = nullptr, *clear = nullptr, *import = nullptr,
                *saveAs = nullptr, *lookUp = nullptr, *options = nullptr, *speak = nullptr, *about = nullptr,
                *exit = nullptr;
    } m_listMenu;
    WordListSorter m_sorter;
    QTimer *m_Timer1 = nullptr;
    QTimer *m_Timer2 = nullptr;
    std::unique_ptr<QLockFile> m_instanceLock;
    // Set at start-up of a first instance only.
    std::optional<WordBank> m_wordBank;
    // The entries marked known, in a file beside the bank.
    std::optional<WordBank> m_knownMarks;
    WordListHistory *m_history = nullptr;
    BankAutosave *m_autosave = nullptr;
    BankAutosave *m_marksAutosave = nullptr;
    // A background save failed and no later one succeeded yet (told once, not at every try).
    bool m_autosaveFailing = false;
    bool m_secondInstanceFound = false;
    bool m_unloaded = false;
    bool m_shutdownPending = false;
    std::unique_ptr<Settings> m_settings;
    DrillController *m_drillController = nullptr;
    DrillOptions m_drillOptions;
    std::function<QString(DrillOptions::KeyAction)> m_keyState;
    // Where the learner left the floating window: the next drill starts on that monitor.
    std::optional<QPoint> m_floatingCentre;
    // Without a parent: a window owned by the hidden main window could be hidden with it.
    std::unique_ptr<FormShowWord> m_FormShowWord;
    std::unique_ptr<SpeechEngine> m_speech;
    GlobalHotkeys *m_globalKeys = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
    QMenu *m_trayMenu = nullptr;
    QAction *m_trayDrill = nullptr;
    // The drill's actions, shown while a drill runs.
    QList<QAction *> m_trayDrillActions;
    QAction *m_trayOptions = nullptr;
    QAction *m_trayExit = nullptr;
    // The drill minimized the main window (no notification area); restoring it stops the drill.
    bool m_minimizedForDrill = false;
};
