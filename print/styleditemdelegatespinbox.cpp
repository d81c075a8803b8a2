#include "print/styleditemdelegatespinbox.h"

#include "print/dialogfontsettings.h"

#include <QSpinBox>

QWidget *StyledItemDelegateSpinBox::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                                 const QModelIndex &index) const
{
    auto *box = new QSpinBox(parent);
    box->setFrame(false);
    switch (index.column()) {
    case DialogFontSettings::ColFaceIndex:
        box->setRange(0, 7);
        break;
    case DialogFontSettings::ColThreshold:
        box->setRange(0, 255);
        break;
    case DialogFontSettings::ColPixelWidth:
    case DialogFontSettings::ColPixelHeight:
    case DialogFontSettings::ColAdvance:
        box->setRange(0, 96);
        break;
    default:
        break;
    }
    return box;
}
