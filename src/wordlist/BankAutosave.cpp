#include "BankAutosave.h"

#include "TextFile.h"
#include "WordBank.h"
#include "WordListModel.h"
#include "WordPairs.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <deque>

namespace {
// The window's thread encodes for at most this long at a time.
constexpr qint64 kSliceMs = 8;
// Pieces (about 1 MiB each) encoded ahead of the writer at most.
constexpr size_t kPiecesAhead = 4;
} // namespace

// One background save: pieces handed from the window's thread to the writer thread.
struct BankAutosave::Save
{
    quint64 generation = 0;
    int row = 0;          // where the next piece starts
    bool encoded = false; // every piece was handed over

    QMutex mutex;
    QWaitCondition changed;
    std::deque<QByteArray> pieces;
    bool last = false;   // the last piece is in `pieces`
    bool cancel = false; // the list changed before it was all encoded: replace nothing
    bool ok = false;
    QString error;
    std::unique_ptr<QThread> writer;
};

BankAutosave::BankAutosave(WordBank &bank, const WordListModel &list, bool dirty, QObject *parent)
    : QObject(parent), m_bank(bank), m_list(list), m_generation(dirty ? 1 : 0)
{
    m_quiet.setSingleShot(true);
    m_longest.setSingleShot(true);
    m_slice.setSingleShot(true);
    setDelays(std::chrono::milliseconds(1000), std::chrono::milliseconds(2000));
    connect(&m_quiet, &QTimer::timeout, this, &BankAutosave::begin);
    connect(&m_longest, &QTimer::timeout, this, &BankAutosave::begin);
    connect(&m_slice, &QTimer::timeout, this, &BankAutosave::encodeSome);

    // Whatever changes the list: rows in or out, an edit, a new order, a clear.
    const auto changed = [this] { listChanged(); };
    connect(&list, &QAbstractItemModel::rowsInserted, this, changed);
    connect(&list, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(&list, &QAbstractItemModel::modelReset, this, changed);
    connect(&list, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                // A known mark is not in the bank itself.
                if (m_bank.holds() == WordBank::Holds::Entries && roles == QList<int>{WordListModel::KnownRole})
                    return;
                listChanged();
            });
    connect(&list, &QAbstractItemModel::layoutChanged, this, changed);
}

BankAutosave::~BankAutosave()
{
    stop();
}

void BankAutosave::setDelays(std::chrono::milliseconds quiet, std::chrono::milliseconds longest)
{
    m_quiet.setInterval(quiet);
    m_longest.setInterval(longest);
}

void BankAutosave::listChanged()
{
    ++m_generation;
    if (m_stopped)
        return;
    // The rest of the list is no longer the list those pieces came from.
    cancelUnencoded();
    if (!m_longest.isActive())
        m_longest.start();
    m_quiet.start();
}

void BankAutosave::begin()
{
    m_quiet.stop();
    m_longest.stop();
    // One save at a time; the one under way reschedules when it ends.
    if (m_stopped || m_save || !isDirty() || !m_bank.mayOverwrite())
        return;
    m_save = std::make_unique<Save>();
    Save *save = m_save.get();
    save->generation = m_generation;
    const QString path = m_bank.path();
    const qint64 maxBytes = m_bank.maxBytes();
    save->writer.reset(QThread::create([this, save, path, maxBytes] {
        QString error;
        const bool ok = TextFile::writeChunks(
            path,
            [save](QByteArray &piece) {
                QMutexLocker lock(&save->mutex);
                while (save->pieces.empty() && !save->last && !save->cancel)
                    save->changed.wait(&save->mutex);
                if (save->cancel || save->pieces.empty())
                    return false;
                piece = std::move(save->pieces.front());
                save->pieces.pop_front();
                save->changed.wakeAll();
                return !(save->last && save->pieces.empty());
            },
            &error, maxBytes,
            [save] {
                const QMutexLocker lock(&save->mutex);
                return save->cancel;
            });
        {
            const QMutexLocker lock(&save->mutex);
            save->ok = ok;
            save->error = error;
        }
        QMetaObject::invokeMethod(this, [this, save] { finished(save); }, Qt::QueuedConnection);
    }));
    save->writer->start();
    encodeSome();
}

void BankAutosave::encodeSome()
{
    Save *save = m_save.get();
    if (!save || save->encoded)
        return;
    QElapsedTimer slice;
    slice.start();
    QByteArray piece;
    while (!save->encoded) {
        {
            const QMutexLocker lock(&save->mutex);
            if (save->cancel)
                return;
            if (save->pieces.size() >= kPiecesAhead) {
                // The writer is behind (a slow disk): look again shortly.
                m_slice.start(2);
                return;
            }
        }
        const bool more = WordPairs::encodePiece(m_list, &save->row, piece, m_bank.rows());
        {
            const QMutexLocker lock(&save->mutex);
            save->pieces.push_back(std::move(piece));
            save->last = !more;
            save->changed.wakeAll();
        }
        piece = QByteArray();
        save->encoded = !more;
        if (!save->encoded && slice.elapsed() >= kSliceMs) {
            m_slice.start(0);
            return;
        }
    }
}

void BankAutosave::finished(Save *save)
{
    if (m_save.get() != save)
        return; // stop() already took its result
    endSave();
}

void BankAutosave::endSave()
{
    Save &save = *m_save;
    save.writer->wait();
    const bool cancelled = save.cancel;
    const bool ok = save.ok;
    const QString error = save.error;
    const quint64 generation = save.generation;
    m_save.reset();
    if (ok)
        m_savedGeneration = generation;
    if (m_stopped)
        return;
    if (ok)
        Q_EMIT saved();
    else if (!cancelled)
        Q_EMIT failed(error);
    // Changes that came while it was written (or that made it stop) are saved next; after a
    // failure only a new change tries again, so a full disk is not hammered.
    if ((ok || cancelled) && isDirty() && !m_quiet.isActive())
        m_quiet.start();
}

void BankAutosave::stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_quiet.stop();
    m_longest.stop();
    m_slice.stop();
    settleSave();
}

void BankAutosave::cancelUnencoded()
{
    if (!m_save || m_save->encoded)
        return;
    m_slice.stop();
    const QMutexLocker lock(&m_save->mutex);
    m_save->cancel = true;
    m_save->changed.wakeAll();
}

void BankAutosave::settleSave()
{
    if (!m_save)
        return;
    cancelUnencoded();
    endSave();
}

bool BankAutosave::saveNow()
{
    settleSave();
    m_quiet.stop();
    m_longest.stop();
    m_slice.stop();
    if (!isDirty() || !m_bank.mayOverwrite())
        return true;
    const quint64 generation = m_generation;
    if (m_bank.save(m_list) != WordBank::Save::Saved)
        return false;
    m_savedGeneration = generation;
    return true;
}
