#pragma once

#include <QStyledItemDelegate>

// Draws the list's entries marked known grey, the word with a check mark in front, so they stand
// apart at a glance while staying readable.
class KnownEntryDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
