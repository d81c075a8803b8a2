#pragma once

#include <QStyledItemDelegate>

// The editor of the font dialog's number columns, bounded by what the printer takes.
class StyledItemDelegateSpinBox : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
};
