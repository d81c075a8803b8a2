// The language: the preferences flow, and what a start in each language shows.
#include "tests/logtext.h"
#include "tests/windowfixture.h"
#include "app/conf.h"
#include "app/dialogpreferences.h"
#include "app/language.h"

#include <QComboBox>
#include <QTabWidget>
#include <QTranslator>

namespace {

QStringList tabTexts(const MainWindow &window)
{
    QStringList texts;
    for (int i = 0; i < window.tabWidget()->count(); ++i)
        texts.append(window.tabWidget()->tabText(i));
    for (const QAction *action : {window.connectAction(), window.disconnectAction(), window.reloadAction(),
                                  window.preferencesAction()})
        texts.append(action->text());
    return texts;
}

} // namespace

class TestLanguage : public WindowFixture
{
    Q_OBJECT

    QString confFile;
    QStringList englishTexts; // of the window built before any translation

    // Picks a language in the preferences, OK or Cancel; tells what message box followed.
    QString choose(Language language, bool ok)
    {
        QTimer::singleShot(0, [&] {
            if (auto *dialog = qobject_cast<DialogPreferences *>(QApplication::activeModalWidget())) {
                dialog->findChild<QComboBox *>()->setCurrentIndex(int(language));
                ok ? dialog->doOk() : dialog->doCancel();
            }
        });
        return messageOf([this] { window->preferencesAction()->trigger(); }, 0);
    }

private slots:
    void initTestCase()
    {
        setUpWindow();
        englishTexts = tabTexts(*window);
        confFile = dir.filePath("zomra-cloud-printer-setup.ini");
        g_conf.setFileName(confFile);
    }
    void cleanupTestCase() { tearDownWindow(); }

    void preferencesChangeOnlyOnOkWithAnotherLanguage()
    {
        g_conf.setLanguage(Language::English);
        QCOMPARE(DialogPreferences().language(), Language::English); // opens on the configured one
        // Unchanged and OK, or another and Cancel: nothing written, nothing said.
        QCOMPARE(choose(Language::English, true), QString());
        QCOMPARE(choose(Language::Chinese, false), QString());
        QVERIFY(!QFile::exists(confFile));
        QCOMPARE(g_conf.language(), Language::English);
        // Another and OK: stored, written, and a restart asked for; the window keeps its texts.
        QCOMPARE(choose(Language::Chinese, true),
                 QStringLiteral("Information|Restart the application to apply language changes."));
        QCOMPARE(g_conf.language(), Language::Chinese);
        QVERIFY(fileBytes(confFile).contains("Language=1"));
        QCOMPARE(tabTexts(*window), englishTexts);
    }

    void translationLookupOrder()
    {
        const QStringList candidates = translationCandidates("/opt/zomra/bin");
        QCOMPARE(candidates.mid(0, 3), (QStringList{"translations/zh_CN.qm", "/opt/zomra/bin/translations/zh_CN.qm",
                                                    "/opt/zomra/share/zomra-cloud-printer-setup/translations/zh_CN.qm"}));
    }

    // As a start in a working directory with or without the compiled translation.
    void start_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("translationPresent");
        QTest::addColumn<QString>("font");
        QTest::newRow("Chinese, translation present") << int(Language::Chinese) << true << "微软雅黑";
        QTest::newRow("Chinese, translation missing") << int(Language::Chinese) << false << "微软雅黑";
        QTest::newRow("unknown language: English") << 7 << true << "Tahoma";
    }
    void start()
    {
        QFETCH(int, language);
        QFETCH(bool, translationPresent);
        QFETCH(QString, font);
        QTemporaryDir cwd;
        // No installed copy of the program may stand in for the missing file.
        qputenv("XDG_DATA_HOME", cwd.filePath("data").toUtf8());
        qputenv("XDG_DATA_DIRS", cwd.filePath("data").toUtf8());
        if (translationPresent) {
            QVERIFY(QDir(cwd.path()).mkpath("translations"));
            QVERIFY(QFile::copy(TRANSLATION_FILE, cwd.filePath("translations/zh_CN.qm")));
        }
        g_conf.setLanguage(Language(language));
        QTranslator translator;
        QDir::setCurrent(cwd.path());
        applyLanguage(&translator);
        QDir::setCurrent(dir.path());
        QCOMPARE(QApplication::font().family(), font);
        const QStringList texts = tabTexts(MainWindow());
        QCoreApplication::removeTranslator(&translator);
        g_mainWindow = window;
        const bool chinese = g_conf.language() == Language::Chinese;
        QCOMPARE(chinese, language == int(Language::Chinese)); // an unknown one is stored as English
        if (!chinese || !translationPresent)
            QCOMPARE(texts, englishTexts);
        for (const QString &text : texts) {
            // "4G" and "Wi-Fi" may well stay; every other text is Chinese.
            if (chinese && translationPresent && text != "4G" && text != "Wi-Fi")
                QVERIFY2(text.contains(QRegularExpression("\\p{Han}")), qPrintable(text));
        }
    }
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
