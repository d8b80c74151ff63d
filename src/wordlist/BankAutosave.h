#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>

class WordBank;
class WordListModel;

// Keeps the word bank on disk in step with the list: a change is written within about two seconds
// (a quiet moment of a second, but never later than two seconds after the first unsaved change,
// however fast changes come), so a power cut or a crash costs seconds, not a session.
//
// A save never holds the window up: the list is encoded on the window's thread in slices of a few
// milliseconds (about 1 MiB a piece) and a writer thread writes the pieces as they come, a few
// pieces ahead at most, then flushes and replaces the bank atomically (WordPairs' writer rules:
// GBK, CR LF, the old bank whole until the new one is complete). A change during a save drops
// that save unfinished and starts another. A list that did not change is never written, and a
// bank that must not be overwritten (WordBank::mayOverwrite) is left alone: the exit save speaks
// to the user about it.
class BankAutosave : public QObject
{
    Q_OBJECT
public:
    // `dirty`: the list already differs from the bank (a bank that did not exist yet).
    BankAutosave(WordBank &bank, const WordListModel &list, bool dirty, QObject *parent = nullptr);
    ~BankAutosave() override;

    // How long the list must stay still, and the longest wait after the first unsaved change.
    void setDelays(std::chrono::milliseconds quiet, std::chrono::milliseconds longest);
    // Whether the list holds changes the bank does not.
    bool isDirty() const { return m_savedGeneration != m_generation; }
    // Whether a save is being encoded or written.
    bool isSaving() const { return bool(m_save); }
    // Ends background saving for good: a write of the whole list already under way is finished
    // and counted, one still being encoded is dropped. Afterwards isDirty() tells the exit save
    // whether it has anything to write.
    void stop();
    // Brings the bank up to date now, on this thread, and carries on saving in the background
    // afterwards (the system asks whether the session may end): a write under way is waited for,
    // then the list is written if the bank does not hold it. False when that write failed.
    bool saveNow();

Q_SIGNALS:
    // A background save replaced the bank.
    void saved();
    // A background save failed; the old bank is whole. Tried again at the next change.
    void failed(const QString &error);

private:
    struct Save;
    void listChanged();
    void begin();
    void encodeSome();
    void finished(Save *save);
    // Waits for the writer of the save under way and takes its result.
    void endSave();
    // A save still being encoded replaces nothing.
    void cancelUnencoded();
    // The save under way, if any, is dropped (still being encoded) or finished (all handed over).
    void settleSave();

    WordBank &m_bank;
    const WordListModel &m_list;
    quint64 m_generation = 0;
    quint64 m_savedGeneration = 0;
    QTimer m_quiet;
    QTimer m_longest;
    QTimer m_slice;
    std::unique_ptr<Save> m_save;
    bool m_stopped = false;
};
