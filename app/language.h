#pragma once

#include <QString>
#include <QStringList>

class QTranslator;

// The user interface language, as the configuration stores it. It is applied once, at
// start-up: every window takes its texts when it is built, so a change needs a restart. The
// configuration keeps whatever number its file holds; applyLanguage() reads any but Chinese
// as English.
enum class Language : int { English = 0, Chinese = 1 };

// Where the Chinese translation may be, in the order tried: the working directory first,
// then beside the executable (the build tree), then the installed data folders, so a
// program started from a desktop menu still finds it.
QStringList translationCandidates(const QString &executableDir);
// The first candidate that exists, or the working directory's path when none does.
QString translationFile(const QString &executableDir);

// Installs the configured language's translation and font; any value but Chinese becomes
// English in memory. A translation that does not load leaves English texts.
void applyLanguage(QTranslator *translator);
