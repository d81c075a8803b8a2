#include "app/displaytext.h"

namespace DisplayText {

QString elideMiddle(const QString &name, int maxChars)
{
    if (name.size() <= maxChars || maxChars < 3)
        return name;
    const int kept = maxChars - 1;
    const int tail = kept / 2;
    return name.left(kept - tail) + QChar(0x2026) + name.right(tail);
}

QString grouped(qint64 number)
{
    QString digits = QString::number(number < 0 ? -number : number);
    for (int at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(' '));
    return number < 0 ? QLatin1Char('-') + digits : digits;
}

} // namespace DisplayText
