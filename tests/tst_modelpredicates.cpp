#include "protocol/modelpredicates.h"

#include <QtTest>

using namespace ModelPredicates;

class TestModelPredicates : public QObject
{
    Q_OBJECT

private slots:
    void predicates_data()
    {
        QTest::addColumn<QString>("project");
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("dots");
        QTest::addColumn<bool>("ethernet");
        QTest::addColumn<bool>("g4");
        QTest::addColumn<bool>("wifi");
        QTest::newRow("RX100 RX110") << "RX100" << "RX110" << 384 << false << true << true;
        QTest::newRow("RX100 RX150-X") << "RX100" << "RX150-X" << 384 << false << true << true;
        QTest::newRow("RX100 other model keeps Wi-Fi") << "RX100" << "RX160" << 384 << false << false << true;
        QTest::newRow("RX200 RX210") << "RX200" << "RX210" << 576 << true << false << true;
        QTest::newRow("RX200 RX220") << "RX200" << "RX220" << 576 << true << true << true;
        QTest::newRow("RX200 RX230") << "RX200" << "RX230" << 576 << true << true << false;
        QTest::newRow("RX200 RX200") << "RX200" << "RX200" << 576 << true << false << false;
        QTest::newRow("RX210 RX210_S") << "RX210" << "RX210_S" << 576 << true << false << true;
        QTest::newRow("RX210 RX220_S") << "RX210" << "RX220_S" << 576 << true << true << true;
        QTest::newRow("RX210 RX220_E") << "RX210" << "RX220_E" << 576 << true << true << true;
        QTest::newRow("RX210 RX220 without suffix") << "RX210" << "RX220" << 576 << true << false << false;
        QTest::newRow("RX210 lower case") << "RX210" << "rx220_s" << 576 << true << false << false;
        QTest::newRow("unknown project") << "RX300" << "RX220_S" << 0 << false << false << false;
        QTest::newRow("project is case-sensitive") << "rx100" << "RX110" << 0 << false << false << false;
    }
    void predicates()
    {
        QFETCH(QString, project);
        QFETCH(QString, model);
        QFETCH(int, dots);
        QFETCH(bool, ethernet);
        QFETCH(bool, g4);
        QFETCH(bool, wifi);
        QCOMPARE(dotsPerLine(project), dots);
        QCOMPARE(hasEthernet(project), ethernet);
        QCOMPARE(has4G(project, model), g4);
        QCOMPARE(hasWifi(project, model), wifi);
    }
};

QTEST_GUILESS_MAIN(TestModelPredicates)
#include "tst_modelpredicates.moc"
