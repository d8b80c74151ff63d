#include "ImportReport.h"

#include "shell/Dialogs.h"

namespace ImportReport {

Message message(const QString &done, const Module1::ImportCounts &counts)
{
    using Stop = Module1::ImportCounts::Stop;
    const QString tally =
        QStringLiteral("新增 %1 条，已在列表中 %2 条。").arg(counts.added).arg(counts.alreadyListed);
    switch (counts.stopped) {
    case Stop::None:
        break;
    case Stop::OutOfMemory:
        return {false, QStringLiteral("导入没有完成：内存不足，后面的词汇没有导入。\n") + tally};
    case Stop::ListFull:
        return {false, QStringLiteral("导入没有完成：单词列表已满，后面的词汇没有导入。\n") + tally};
    }
    return {true, done + u'\n' + tally};
}

void show(QWidget *parent, Dialogs &dialogs, const QString &done, const Module1::ImportCounts &counts)
{
    const Message m = message(done, counts);
    dialogs.message(parent, m.complete ? Dialogs::Icon::Information : Dialogs::Icon::Warning, m.text);
}

} // namespace ImportReport
