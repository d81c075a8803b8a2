// The language: the preferences flow of the main window, and what a start in Chinese
// shows with and without the compiled translation.
#include "app/conf.h"
#include "app/dialogpreferences.h"
#include "app/language.h"
#include "app/mainwindow.h"
#include "transport/transceiver.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTranslator>
#include <QtTest>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList windowTexts(const MainWindow &window)
{
    QStringList texts;
    for (int i = 0; i < window.tabWidget()->count(); ++i)
        texts.append(window.tabWidget()->tabText(i));
    const QList<QAction *> actions = window.findChild<QToolBar *>()->actions();
    for (QAction *action : actions) {
        if (!action->isSeparator() && !action->text().isEmpty())
            texts.append(action->text());
    }
    return texts;
}

const QStringList EnglishTexts = {
    "Device Information", "Ethernet", "4G", "Wi-Fi", "Serial", "Audio", "NV Image", "Print Settings",
    "Connect", "Disconnect", "Reload", "Preferences",
};

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString confFile;
    MainWindow *window = nullptr;

    // Runs the preferences dialog, picks a language and presses OK or Cancel; tells what
    // message box followed, if any.
    QString choose(int language, bool ok)
    {
        QString message;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<DialogPreferences *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialog->findChild<QComboBox *>()->setCurrentIndex(language);
            QTimer::singleShot(0, [&] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    message = box->windowTitle() + QLatin1Char('|') + box->text();
                    box->button(QMessageBox::Ok)->click();
                }
            });
            ok ? dialog->doOk() : dialog->doCancel();
        });
        window->preferencesAction()->trigger();
        return message;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        confFile = dir.filePath("zomra-cloud-printer-setup.ini");
        g_conf.setFileName(confFile);
        g_transceiver = new Transceiver;
        window = new MainWindow;
    }

    void cleanupTestCase()
    {
        delete window;
        delete g_transceiver;
        g_transceiver = nullptr;
    }

    void preferencesChangeOnlyOnOkWithAnotherLanguage()
    {
        g_conf.setLanguage(Language::English);
        // The dialog opens on the configured language.
        DialogPreferences preview;
        QCOMPARE(preview.language(), Language::English);

        // Unchanged and OK: nothing written, nothing said.
        QCOMPARE(choose(Language::English, true), QString());
        QVERIFY(!QFile::exists(confFile));

        // Another language and Cancel: still nothing.
        QCOMPARE(choose(Language::Chinese, false), QString());
        QVERIFY(!QFile::exists(confFile));
        QCOMPARE(g_conf.language(), Language::English);

        // Another language and OK: stored, written, and the user told to restart; the
        // window keeps its texts.
        QCOMPARE(choose(Language::Chinese, true),
                 QStringLiteral("Information|Restart the application to apply language changes."));
        QCOMPARE(g_conf.language(), Language::Chinese);
        QVERIFY(readFile(confFile).contains("Language=1"));
        QCOMPARE(windowTexts(*window), EnglishTexts);
    }

    void translationLookupOrder()
    {
        const QStringList candidates = Language::translationCandidates("/opt/zomra/bin");
        QVERIFY(candidates.size() >= 3);
        QCOMPARE(candidates.at(0), QStringLiteral("translations/zh_CN.qm"));
        QCOMPARE(candidates.at(1), QStringLiteral("/opt/zomra/bin/translations/zh_CN.qm"));
        QCOMPARE(candidates.at(2), QStringLiteral("/opt/zomra/share/zomra-cloud-printer-setup/translations/zh_CN.qm"));
    }

    void chineseStart_data()
    {
        QTest::addColumn<bool>("translationPresent");
        QTest::newRow("translation present") << true;
        QTest::newRow("translation missing") << false;
    }

    void chineseStart()
    {
        QFETCH(bool, translationPresent);
        QTemporaryDir cwd;
        // No installed copy of the program may stand in for the missing file.
        qputenv("XDG_DATA_HOME", cwd.filePath("data").toUtf8());
        qputenv("XDG_DATA_DIRS", cwd.filePath("data").toUtf8());
        if (translationPresent) {
            QVERIFY(QDir(cwd.path()).mkpath("translations"));
            QVERIFY(QFile::copy(TRANSLATION_FILE, cwd.filePath("translations/zh_CN.qm")));
        }
        const QString previous = QDir::currentPath();
        QDir::setCurrent(cwd.path());
        g_conf.setLanguage(Language::Chinese);
        QTranslator translator;
        Language::apply(&translator);
        QDir::setCurrent(previous);

        QCOMPARE(QApplication::font().family(), QStringLiteral("微软雅黑"));
        QCOMPARE(QApplication::font().pointSize(), 10);
        const MainWindow chinese;
        const QStringList texts = windowTexts(chinese);
        QCoreApplication::removeTranslator(&translator);
        if (!translationPresent) {
            QCOMPARE(texts, EnglishTexts);
            return;
        }
        QCOMPARE(texts.size(), EnglishTexts.size());
        for (int i = 0; i < texts.size(); ++i) {
            // "4G" may well stay "4G"; every other text is Chinese.
            if (EnglishTexts.at(i) != "4G" && EnglishTexts.at(i) != "Wi-Fi")
                QVERIFY2(texts.at(i).contains(QRegularExpression("\\p{Han}")), qPrintable(texts.at(i)));
        }
    }

    void otherLanguagesStartInEnglish()
    {
        g_conf.setLanguage(7);
        QTranslator translator;
        Language::apply(&translator);
        QCOMPARE(g_conf.language(), Language::English);
        QCOMPARE(QApplication::font().family(), QStringLiteral("Tahoma"));
        QVERIFY(translator.isEmpty());
    }
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
