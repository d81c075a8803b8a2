#pragma once

#include <QString>

// How names and numbers look in the texts a technician reads.
namespace DisplayText {

// A name longer than maxChars keeps its start and its end (where a file's type and number
// are) around an ellipsis, so that a message box never cuts it at its edge.
QString elideMiddle(const QString &name, int maxChars = 48);

// Digits in groups of three, set apart by spaces: "262 144".
QString grouped(qint64 number);

} // namespace DisplayText
