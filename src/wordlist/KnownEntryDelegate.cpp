#include "KnownEntryDelegate.h"

#include "WordListModel.h"

void KnownEntryDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (!index.data(WordListModel::KnownRole).toBool())
        return;
    const QColor grey(128, 128, 128);
    option->palette.setColor(QPalette::Text, grey);
    option->palette.setColor(QPalette::HighlightedText, option->palette.color(QPalette::HighlightedText).darker(115));
    if (index.column() == WordListModel::WordColumn)
        option->text = QStringLiteral("\u2713 ") + option->text;
}
