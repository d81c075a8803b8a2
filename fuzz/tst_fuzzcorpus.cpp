// Every committed seed and every input a fuzzer once crashed on, through the same entry
// functions the fuzzers call. A crash or a failed check in an entry aborts this program.
#include "fuzz/fuzzentries.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestFuzzCorpus : public QObject
{
    Q_OBJECT

private slots:
    void replay_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("path");
        int count = 0;
        const FuzzEntries::Target *targets = FuzzEntries::targets(&count);
        for (int t = 0; t < count; ++t) {
            int files = 0;
            for (const char *kind : {"corpus", "regressions"}) {
                const QDir dir(QStringLiteral(FUZZ_DIR "/%1/%2")
                                   .arg(QLatin1String(kind), QLatin1String(targets[t].name)));
                const QStringList names = dir.entryList(QDir::Files, QDir::Name);
                for (const QString &name : names) {
                    const QString path = dir.filePath(name);
                    QTest::newRow(qPrintable(QStringLiteral("%1/%2/%3").arg(QLatin1String(kind), QLatin1String(targets[t].name), name)))
                        << t << path;
                    ++files;
                }
            }
            // A target without seeds would replay nothing and pass.
            QVERIFY2(files > 0, targets[t].name);
        }
    }
    void replay()
    {
        QFETCH(int, target);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray input = file.readAll();
        int count = 0;
        const FuzzEntries::Target *targets = FuzzEntries::targets(&count);
        QCOMPARE(targets[target].entry(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size())), 0);
    }
};

int main(int argc, char *argv[])
{
    FuzzEntries::initialize(&argc, &argv);
    TestFuzzCorpus test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fuzzcorpus.moc"
