#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

// The editor of the font dialog's Script and Font columns: the script names, or the font
// files installed on the printer (where a name not listed may be typed as well).
class StyledItemDelegateComboBox : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;

    // "UNKNOWN" and the Unicode script names, upper case with underscores, as the printer
    // spells them. Not translated.
    static const QStringList &scriptNames();
};
