#pragma once

#include <QString>
#include <QVector>

// The code pages the printers have, as the print settings page lists them.
namespace CodePages {

struct CodePage
{
    int number;
    const char *name; // "(0) PC437: USA, Standard Europe"
};

const QVector<CodePage> &list();
bool contains(int number);
// The list's name for the number; empty when the printers have no such code page.
QString name(int number);

} // namespace CodePages
