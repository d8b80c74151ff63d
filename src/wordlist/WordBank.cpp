#include "WordBank.h"

#include "TextFile.h"
#include "WordListModel.h"
#include "WordPairs.h"

#include <QFileInfo>

WordBank::Load WordBank::load(WordListModel &list)
{
    m_error.clear();
    m_unreadable = false;
    if (!QFileInfo::exists(m_path))
        return Load::Missing;
    QByteArray bytes;
    if (!TextFile::readBytes(m_path, &bytes, &m_error, m_maxBytes)) {
        m_unreadable = true;
        return Load::Unreadable;
    }
    WordListModel marks;
    if (!WordPairs::importWordBank(std::move(bytes), m_holds == Holds::Entries ? list : marks)) {
        // The list ran out of room: saving what was read would lose the rest.
        m_unreadable = true;
        m_error = QStringLiteral("内存不足，只读入了一部分单词");
        return Load::Unreadable;
    }
    if (m_holds == Holds::KnownMarks && marks.count() > 0) {
        QList<int> known;
        QString key;
        for (int row = 0; row < list.count(); ++row) {
            key.resize(0);
            key.append(list.meaning(row));
            key.append(list.word(row));
            if (marks.containsKey(key))
                known.append(row);
        }
        list.setKnown(known, true);
    }
    return Load::Loaded;
}

WordBank::Save WordBank::save(const WordListModel &list)
{
    if (m_unreadable)
        return list.count() == 0 ? Save::Skipped : Save::Withheld;
    m_error.clear();
    return WordPairs::writeList(list, m_path, &m_error, rows(), m_maxBytes) ? Save::Saved : Save::Failed;
}

bool WordBank::saveTo(const WordListModel &list, const QString &path, QString *error)
{
    return WordPairs::writeList(list, path, error);
}
