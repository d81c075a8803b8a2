#include "app/language.h"

#include "app/conf.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QStandardPaths>
#include <QTranslator>

namespace {

const QString RelativeFile = QStringLiteral("translations/zh_CN.qm");
const QString DataFolder = QStringLiteral("zomra-cloud-printer-setup");

} // namespace

QStringList translationCandidates(const QString &executableDir)
{
    const QDir exe(executableDir);
    QStringList candidates = {
        RelativeFile,
        exe.filePath(RelativeFile),
        // <prefix>/bin/program finds <prefix>/share/<program>/translations wherever the
        // package was installed.
        QDir::cleanPath(exe.filePath(QStringLiteral("../share/") + DataFolder + QLatin1Char('/') + RelativeFile)),
    };
    const QStringList dataDirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString &dir : dataDirs)
        candidates.append(QDir(dir).filePath(DataFolder + QLatin1Char('/') + RelativeFile));
    candidates.removeDuplicates();
    return candidates;
}

QString translationFile(const QString &executableDir)
{
    const QStringList candidates = translationCandidates(executableDir);
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return RelativeFile;
}

void applyLanguage(QTranslator *translator)
{
    if (g_conf.language() == Language::Chinese) {
        if (translator->load(translationFile(QCoreApplication::applicationDirPath())))
            QCoreApplication::installTranslator(translator);
        QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10, QFont::Normal, false));
    } else {
        g_conf.setLanguage(Language::English);
        QApplication::setFont(QFont(QStringLiteral("Tahoma"), 10, QFont::Normal));
    }
}
