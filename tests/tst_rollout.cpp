#include "emulator/printeremulator.h"
#include "profiles/printersession.h"
#include "profiles/profile.h"
#include "profiles/rollout.h"
#include "tests/privatenetns.h"

#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

QHostAddress loopback(int last)
{
    return QHostAddress(QStringLiteral("127.0.0.%1").arg(last));
}

// A printer on 127.0.0.<last> with a serial number of its own.
std::unique_ptr<PrinterEmulator> printerAt(int last, bool ignoreSets = false)
{
    EmulatorOptions options;
    options.listen = loopback(last);
    options.printer.serialNumber = QStringLiteral("ZR210800000%1").arg(last);
    options.printer.ignoreSets = ignoreSets;
    auto emulator = std::make_unique<PrinterEmulator>(options);
    return emulator->listen() ? std::move(emulator) : nullptr;
}

PrinterSettings readThrough(const QHostAddress &address)
{
    PrinterSession session(address);
    QSignalSpy read(&session, &PrinterSession::settingsRead);
    session.read();
    return read.wait(PrinterSession::AnswerTimeoutMs) ? session.settings() : PrinterSettings();
}

} // namespace

// Sessions and roll-outs against emulators in this process, on 127.0.0.1 to .3.
class TestRollout : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (!inPrivateNetns())
            QSKIP("needs the private network namespace of scripts/netns-run.sh");
    }

    void rollout_data()
    {
        QTest::addColumn<bool>("ignoreSets");
        QTest::newRow("printers take the settings") << false;
        QTest::newRow("printers keep their old values") << true;
    }
    // Three printers, the third one down: it fails alone; the other two get the profile with
    // addresses of their own, and keep their own Wi-Fi network.
    void rollout()
    {
        QFETCH(bool, ignoreSets);
        const auto first = printerAt(1, ignoreSets), second = printerAt(2, ignoreSets);
        QVERIFY(first && second);
        PrinterSettings wanted = readThrough(loopback(1));
        // What the session read, exported and read back, matches the printer.
        Profile exported;
        QString error;
        QVERIFY2(Profile::fromJson(Profile::fromSettings(wanted, QStringLiteral("test"), QStringLiteral("pw")).toJson(),
                                   &exported, &error), qPrintable(error));
        QVERIFY(wanted.serialNumber == QStringLiteral("ZR2108000001") && exported.differences(wanted).isEmpty());
        wanted.print.density = 115;
        wanted.wifiSsid = QStringLiteral("Other-Shop");
        wanted.lanStaticIp.gateway = QStringLiteral("10.0.0.1"); // goes with the assigned addresses
        Rollout rollout(Profile::fromSettings(wanted, QStringLiteral("test")),
                        {{loopback(1)}, {loopback(2)}, {loopback(3)}});
        rollout.setStaticIpFrom(QHostAddress(QStringLiteral("10.0.0.254")));
        QSignalSpy finished(&rollout, &Rollout::finished);
        rollout.start();
        QVERIFY(finished.wait(2 * PrinterSession::AnswerTimeoutMs) && !finished.first().first().toBool());

        const QList<Rollout::Result> &results = rollout.results();
        QVERIFY(results.at(2).line == QStringLiteral("127.0.0.3: connection refused") && !results.at(2).ok);
        for (int i = 0; i < 2; ++i) {
            const PrinterState &state = (i == 0 ? first : second)->state();
            QVERIFY2(results.at(i).line.startsWith(QStringLiteral("127.0.0.%1 ZR210800000%1: ").arg(i + 1)),
                     qPrintable(results.at(i).line));
            QCOMPARE(results.at(i).ok, !ignoreSets);
            QCOMPARE(state.wifiSsid, QByteArray("Zomra-Shop"));
            QCOMPARE(state.printSettings.density, quint8(ignoreSets ? 100 : 115));
            // 10.0.0.254 for the first, 10.0.0.255 for the second.
            QCOMPARE(state.ethernetStatic.address, ignoreSets ? 0xC0A801C8 : 0x0A0000FEu + quint32(i));
            QCOMPARE(state.ethernetStatic.gateway, ignoreSets ? 0xC0A80101 : 0x0A000001u);
            const ProfileApply::Outcome sent = ignoreSets ? ProfileApply::Outcome::Failed : ProfileApply::Outcome::Verified;
            const QList<ProfileApply::Row> &rows = results.at(i).rows;
            QVERIFY(std::any_of(rows.cbegin(), rows.cend(), [sent](const ProfileApply::Row &row) {
                return row.key == QLatin1String("ethernet.staticAddress") && row.outcome == sent;
            }));
        }
    }
};

QTEST_GUILESS_MAIN(TestRollout)
#include "tst_rollout.moc"
