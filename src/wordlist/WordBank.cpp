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
    if (!WordPairs::importWordBank(std::move(bytes), list)) {
        // The list ran out of room: saving what was read would lose the rest.
        m_unreadable = true;
        m_error = QStringLiteral("内存不足，只读入了一部分单词");
        return Load::Unreadable;
    }
    return Load::Loaded;
}

WordBank::Save WordBank::save(const WordListModel &list)
{
    if (m_unreadable)
        return list.count() == 0 ? Save::Skipped : Save::Withheld;
    m_error.clear();
    return WordPairs::writeList(list, m_path, &m_error, m_maxBytes) ? Save::Saved : Save::Failed;
}

bool WordBank::saveTo(const WordListModel &list, const QString &path, QString *error)
{
    return WordPairs::writeList(list, path, error);
}
