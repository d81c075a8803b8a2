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
            const FuzzEntries::Target &target = targets[t];
            int files = 0;
            for (const QString kind : {"corpus", "regressions"}) {
                const QDir dir(QStringLiteral(FUZZ_DIR "/%1/%2").arg(kind, QLatin1String(target.name)));
                for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
                    QTest::newRow(qPrintable(dir.filePath(name).mid(sizeof FUZZ_DIR)))
                        << t << dir.filePath(name);
                    ++files;
                }
            }
            QVERIFY2(files > 0, target.name); // a target without seeds would replay nothing and pass
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
        const FuzzEntries::Entry entry = FuzzEntries::targets(&count)[target].entry;
        QCOMPARE(entry(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size())), 0);
    }
};

int main(int argc, char *argv[])
{
    FuzzEntries::initialize(&argc, &argv);
    TestFuzzCorpus test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fuzzcorpus.moc"
