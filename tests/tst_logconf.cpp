#include "app/commandline.h"
#include "app/conf.h"
#include "app/displaytext.h"
#include "app/log.h"
#include "tests/logtext.h"

#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>

class TestLogConf : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }

    QList<QByteArray> logLines() const
    {
        QList<QByteArray> lines = logTextSoFar(path("log.txt")).split('\n');
        lines.removeAll(QByteArray());
        return lines;
    }

    void load(Conf &conf, const QByteArray &ini)
    {
        QFile f(path("conf.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(ini) == ini.size());
        f.close();
        conf.setFileName(path("conf.ini"));
        conf.load();
    }

private slots:
    void init() { QVERIFY(logOpen(path("log.txt"))); }
    void cleanup() { logClose(); }

    // The format, base names of either kind of path; closed it writes nothing, reopened it starts afresh.
    void lineFormat()
    {
        logWrite("a.cpp", 1, "before");
        logClose();
        logWrite("a.cpp", 2, "lost");
        QVERIFY(logOpen(path("log.txt")));
        logWrite("C:\\src\\conf.cpp", 12, "VID/PID %04x:%04x loaded.", 0xabcd, 2);
        logWrite("/home/build/hostcmd.cpp", 7, "x");
        const QList<QByteArray> lines = logLines();
        QCOMPARE(lines.size(), 2);
        QVERIFY(QRegularExpression(QStringLiteral("^\\[[ 0-9a-f]{8}\\] VID/PID abcd:0002 loaded\\. \\(conf\\.cpp,12\\)\\r$"))
                    .match(QString::fromLatin1(lines.at(0))).hasMatch());
        QVERIFY(lines.at(1).endsWith(" x (hostcmd.cpp,7)\r"));
    }

    // Display texts: long names keep both ends, numbers in groups of three.
    void displayTexts()
    {
        QCOMPARE(DisplayText::elideMiddle(QStringLiteral("abcdefghij"), 10), QStringLiteral("abcdefghij"));
        QCOMPARE(DisplayText::elideMiddle(QStringLiteral("abcdefghijk"), 10), QStringLiteral("abcde\u2026hijk"));
        QCOMPARE(DisplayText::grouped(262144), QStringLiteral("262 144"));
        QCOMPARE(DisplayText::grouped(-1234), QStringLiteral("-1 234"));
        QCOMPARE(DisplayText::grouped(999), QStringLiteral("999"));
    }

    // 11 bytes of thread piece; a message of 1012 fills the line to byte 1023.
    void longMessagesAreCut()
    {
        logWrite("a.cpp", 1, "%s", QByteArray(1012, 'm').constData());
        logWrite("a.cpp", 2, "%s", QByteArray(5000, 'n').constData());
        logWrite("a.cpp", 3, "after");
        const QByteArray all = logTextSoFar(path("log.txt"));
        QCOMPARE(all.size(), 1023 + 1023 + 11 + int(qstrlen("after (a.cpp,3)\r\n")));
        QVERIFY(all.mid(11, 1012) == QByteArray(1012, 'm'));
        QVERIFY(all.endsWith("after (a.cpp,3)\r\n"));
    }

    void twoThreadsWriteWholeLines()
    {
        std::unique_ptr<QThread> threads[2];
        for (int t = 0; t < 2; ++t) {
            threads[t].reset(QThread::create([t] {
                for (int i = 0; i < 2000; ++i)
                    logWrite("t.cpp", i, "%s", QByteArray(40, char('a' + t)).constData());
            }));
            threads[t]->start();
        }
        for (auto &thread : threads)
            thread->wait();
        const QList<QByteArray> lines = logLines();
        QCOMPARE(lines.size(), 4000);
        const QRegularExpression whole(QStringLiteral("^\\[[ 0-9a-f]{8}\\] (a{40}|b{40}) \\(t\\.cpp,\\d+\\)\\r$"));
        for (const QByteArray &line : lines)
            QVERIFY2(whole.match(QString::fromLatin1(line)).hasMatch(), line.constData());
    }

    void missingFileGivesDefaultsAndIsWrittenWithoutSwitches()
    {
        Conf conf;
        conf.setFileName(path("missing.ini"));
        conf.load();
        QVERIFY(conf.fileVersion() == 0 && conf.fontSettingsEnabled() == -1);
        QCOMPARE(conf.usbIds(), (QList<quint32>{0x32730002, 0x327300d2}));
        conf.save();
        QSettings s(path("missing.ini"), QSettings::IniFormat);
        QCOMPARE((QStringList{s.value("Conf/FileVersion").toString(), s.value("Conf/Language").toString(),
                              s.value("Conf/VID_PID_List").toString()}),
                 (QStringList{"1", "0", "3273:0002;3273:00d2"}));
        QVERIFY(!s.contains("Conf/FontSettingsEnabled") && !s.contains("Conf/DualColorSettingsEnabled"));
        QVERIFY(!logLines().join().contains("VID/PID")); // defaults are not logged
    }

    // Written by hand, unquoted; the quoted form save() writes is read in the next test.
    void identifierList()
    {
        const QList<quint32> defaults{0x32730002, 0x327300d2};
        const QPair<QByteArray, QList<quint32>> cases[] = {{"ABCD:0002;;1234:00D2", {0xabcd0002, 0x123400d2}},
                                                           {"abcd:0002 ; 1234:00d2", defaults}, // spaces match nothing
                                                           {"abcd:0002;abcd:0002", {0xabcd0002, 0xabcd0002}}};
        for (const auto &c : cases) {
            Conf conf;
            load(conf, "[Conf]\nFileVersion=1\nVID_PID_List=" + c.first + "\n");
            QVERIFY2(conf.usbIds() == c.second, c.first.constData());
        }
    }

    void saveRewritesListAndSwitchesAndKeepsOtherKeys()
    {
        Conf conf;
        load(conf, "[Conf]\nFontSettingsEnabled=5\nDualColorSettingsEnabled=0\nLanguage=2\n"
                           "VID_PID_List=\"ABCD:0002;;1234:00D2\"\nOther=kept\n[Else]\nx=1\n");
        QVERIFY(conf.fontSettingsEnabled() == 5 && int(conf.language()) == 2);
        QVERIFY(logLines().join().contains("VID/PID abcd:0002 loaded."));
        conf.save();
        QSettings s(path("conf.ini"), QSettings::IniFormat);
        QStringList saved;
        for (const char *key : {"Conf/FontSettingsEnabled", "Conf/DualColorSettingsEnabled", "Conf/VID_PID_List",
                                "Conf/Other", "Else/x"})
            saved << s.value(QLatin1String(key)).toString();
        QCOMPARE(saved, (QStringList{"1", "0", "abcd:0002;1234:00d2", "kept", "1"}));
    }

    void commandLine()
    {
        const auto parse = [](QStringList args) { return CommandLine::parse(QStringList{"tool"} + args); };
        QVERIFY(parse({"demo", "x"}).demo);
        QVERIFY(!parse({"Demo"}).demo);
        QVERIFY(!parse({"x", "demo"}).demo);
        QCOMPARE(parse({"demo", "--connect", "127.0.0.1"}).connectAddress, QHostAddress(QHostAddress::LocalHost));
        QCOMPARE(parse({"--connect=127.0.0.1"}).connectAddress, QHostAddress(QHostAddress::LocalHost));
        QVERIFY(!parse({"--connect", "printer"}).error.isEmpty() && !parse({"--connect"}).error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLogConf)
#include "tst_logconf.moc"
