#include "tests/windowfixture.h"
#include "tests/testfiles.h"
#include "emulator/usbptyprinter.h"
#include "print/dialogfontsettings.h"
#include "print/fontupload.h"
#include "protocol/filerecord.h"

#include <QAbstractItemDelegate>
#include <QComboBox>
#include <QProgressDialog>
#include <QTableWidget>

namespace {

FontScriptRecord latinRecord()
{
    return {true, 1, 2, 3, "LATIN", "en", "DejaVuSans.ttf", 0, 128, 24, 24, 12, {{0x20, 0x7E}, {0x4E00, 0x9FFF}}};
}

QByteArray listEntry(const QByteArray &name, quint32 size)
{
    QByteArray a(FileRecord::ListFilesEntryMinSize, '\0');
    ByteFields::putU16(a, 0, ListFiles);
    ByteFields::putText(a, 2, FileRecord::PathSize, name);
    ByteFields::putU32(a, 130, size);
    return a;
}

QStringList column(const QTableWidget *table, int col)
{
    QStringList out;
    for (int row = 0; row < table->rowCount(); ++row)
        out << table->item(row, col)->text();
    return out;
}

} // namespace

// The font settings dialog: its rows both ways, its editors, and its traffic.
class TestFontSettings : public WindowFixture
{
    Q_OBJECT

    PrinterState usbState;
    std::unique_ptr<UsbPtyPrinter> usbPrinter;

    PrinterState &printer() { return emulator ? emulator->state() : usbState; }

    // The window on a fresh printer over the link the case names, its Reload answered.
    bool linkUp(const QString &link)
    {
        if (link == QLatin1String("tcp"))
            return connectTo("127.0.0.50", "RX210", "RX220_S");
        closeLink();
        EmulatorOptions options;
        options.keepAliveMs = 0;
        usbPrinter = std::make_unique<UsbPtyPrinter>(usbState, options);
        requests = std::make_unique<QSignalSpy>(usbPrinter.get(), &UsbPtyPrinter::requestReceived);
        return usbPrinter->start(dir.filePath(QStringLiteral("sys")), 0x3273, 0x0002)
               && g_transceiver->openUsb(usbPrinter->devicePath(), false)
               && QTest::qWaitFor([this] { return requests->count() == 10; }, 5000);
    }

    // A dialog on screen with both tables filled from the printer.
    bool openDialog(DialogFontSettings &dialog)
    {
        dialog.show();
        const int files = printer().fontFolder.entries().size() - 1; // fonts.conf is not shown
        return QTest::qWaitFor([&] {
            return dialog.scriptTable()->rowCount() == printer().fontScripts.size()
                   && dialog.installedNames().size() == files;
        }, 3000);
    }

private slots:
    void initTestCase() { setUpWindow(); }
    void cleanupTestCase() { tearDownWindow(); }
    void cleanup()
    {
        closeLink();
        usbPrinter.reset();
    }

    void recordBothWays()
    {
        const FontScriptRecord in = latinRecord();
        QByteArray bytes = in.toBytes(GetFontScripts);
        QCOMPARE(ByteFields::u32(bytes, 118 + 8), 0x4E00u);
        // Whatever follows the first range starting at 0 is not a range.
        ByteFields::putU32(bytes, 118 + 24, 0x30);
        FontScriptRecord out;
        QVERIFY(FontScriptRecord::decode(bytes, &out));
        QCOMPARE(out.toBytes(SetFontScript), in.toBytes(SetFontScript));
        QVERIFY(!FontScriptRecord::decode(bytes.left(437), &out));
        ByteFields::putU32(bytes, 118, 0);
        QVERIFY(FontScriptRecord::decode(bytes, &out) && out.ranges.isEmpty());
        QCOMPARE(FontScriptRecord::rangesText({{0x1F600, 0x1F64F}}), QStringLiteral("U+1F600~U+1F64F"));

        QCOMPARE(DialogFontSettings::remotePath(QString(111, QLatin1Char('a'))).size(), 127);
        QVERIFY(DialogFontSettings::remotePath(QString(112, QLatin1Char('a'))).isEmpty());
        QCOMPARE(DialogFontSettings::remotePath(QStringLiteral("字体.ttf")), QByteArray("/data/PUB/fonts/??.ttf"));
    }

    // Rows from the answers and back, their editors, and the installed files.
    void rowsBothWays()
    {
        DialogFontSettings dialog;
        FontScriptRecord latin = latinRecord();
        FontScriptRecord other = latin;
        other.enabled = false;
        other.script = "NOT_A_SCRIPT";
        other.ranges.clear();
        dialog.handleResponse(latin.toBytes(GetFontScripts));
        dialog.handleResponse(other.toBytes(GetFontScripts));
        dialog.handleResponse(other.toBytes(GetFontScripts).left(437)); // too short: ignored
        dialog.handleResponse(listEntry("fonts.conf", 900));
        dialog.handleResponse(listEntry("fonts.conf.bak", 900));
        dialog.handleResponse(listEntry("myfonts.conf", 12));
        dialog.handleResponse(listEntry("Big.otf", 1000000));
        dialog.handleResponse(listEntry("Short.ttf", 1).left(133));
        QCOMPARE(dialog.installedNames(), (QStringList{"myfonts.conf", "Big.otf"}));
        dialog.installedTable()->sortByColumn(1, Qt::AscendingOrder); // sizes sort as numbers
        QCOMPARE(column(dialog.installedTable(), 1), (QStringList{"12", "1000000"}));

        QTableWidget *t = dialog.scriptTable();
        QCOMPARE(t->item(1, DialogFontSettings::ColEnabled)->checkState(), Qt::Unchecked);
        QCOMPARE(column(t, DialogFontSettings::ColScript), (QStringList{"LATIN", "NOT_A_SCRIPT"}));
        QCOMPARE(t->item(0, DialogFontSettings::ColThreshold)->text(), QStringLiteral("128"));
        QCOMPARE(column(t, DialogFontSettings::ColRanges), (QStringList{"U+0020~U+007E;U+4E00~U+9FFF", ""}));
        QVERIFY(!(t->item(0, DialogFontSettings::ColRanges)->flags() & Qt::ItemIsEditable));
        QVERIFY(t->item(0, DialogFontSettings::ColFont)->flags() & Qt::ItemIsEditable);
        // Filling raised cellChanged, yet nothing is to apply until an edit.
        QVERIFY(!dialog.applyButton()->isEnabled());
        t->item(0, DialogFontSettings::ColThreshold)->setData(Qt::DisplayRole, 90);
        QVERIFY(dialog.applyButton()->isEnabled());
        latin.threshold = 90;
        QCOMPARE(dialog.scriptRecord(0).toBytes(SetFontScript), latin.toBytes(SetFontScript)); // ranges too

        // An unknown script opens on the list's first, which is written; fonts: the installed or typed.
        const auto editor = [t](int col) {
            QWidget *w = t->itemDelegateForColumn(col)->createEditor(t->viewport(), {}, t->model()->index(1, col));
            t->itemDelegateForColumn(col)->setEditorData(w, t->model()->index(1, col));
            return w;
        };
        const auto store = [t](int col, QWidget *w) {
            t->itemDelegateForColumn(col)->setModelData(w, t->model(), t->model()->index(1, col));
            return t->item(1, col)->text();
        };
        auto *scripts = qobject_cast<QComboBox *>(editor(DialogFontSettings::ColScript));
        QVERIFY(scripts && !scripts->isEditable());
        QCOMPARE(store(DialogFontSettings::ColScript, scripts), QStringLiteral("UNKNOWN"));
        auto *fonts = qobject_cast<QComboBox *>(editor(DialogFontSettings::ColFont));
        QVERIFY(fonts && fonts->isEditable() && fonts->count() == 2);
        fonts->setCurrentText(QStringLiteral("Typed.ttf"));
        QCOMPARE(store(DialogFontSettings::ColFont, fonts), QStringLiteral("Typed.ttf"));

        // Texts longer than their fields are cut, each keeping its terminating zero.
        t->item(1, DialogFontSettings::ColScript)->setText(QString(40, QLatin1Char('S')));
        t->item(1, DialogFontSettings::ColLanguage)->setText(QStringLiteral("zh-CN"));
        const QByteArray cut = dialog.scriptRecord(1).toBytes(SetFontScript);
        QCOMPARE(ByteFields::text(cut, 6), QByteArray(31, 'S'));
        QCOMPARE(ByteFields::text(cut, 38), QByteArray("zh-"));
    }

    void applyAndReset()
    {
        QVERIFY(linkUp(QStringLiteral("tcp")));
        int mark = requests->count();
        DialogFontSettings dialog;
        QVERIFY(openDialog(dialog));
        QCOMPARE(wordsSince(mark), (QList<quint16>{GetFontScripts, ListFiles}));
        // Refresh is held for a second after each refresh.
        QVERIFY(!dialog.refreshButton()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(dialog.refreshButton()->isEnabled(), 2000);

        QTableWidget *t = dialog.scriptTable();
        const int rows = t->rowCount();
        t->item(0, DialogFontSettings::ColThreshold)->setData(Qt::DisplayRole, 77);
        t->item(1, DialogFontSettings::ColEnabled)->setCheckState(Qt::Unchecked);
        mark = requests->count();
        dialog.applyButton()->click();
        QVERIFY(!dialog.applyButton()->isEnabled());
        QTRY_COMPARE(wordsSince(mark), QList<quint16>{BeginFontScripts} + QVector<quint16>(rows, SetFontScript).toList()
                                           + QList<quint16>{EndFontScripts});
        QVERIFY(!printer().fontScripts.at(1).enabled);
        // What the printer kept comes back on a refresh.
        dialog.refreshButton()->click();
        QTRY_COMPARE(t->rowCount(), rows);
        QCOMPARE(t->item(0, DialogFontSettings::ColThreshold)->text(), QStringLiteral("77"));

        // Reset reloads the script table only.
        mark = requests->count();
        dialog.doResetToDefault();
        QTRY_COMPARE(t->rowCount(), PrinterState::defaultFontScripts().size());
        QCOMPARE(t->item(0, DialogFontSettings::ColThreshold)->text(),
                 QString::number(PrinterState::defaultFontScripts().at(0).threshold));
        QCOMPARE(wordsSince(mark), (QList<quint16>{ResetFontScripts, GetFontScripts}));
    }

    // The job alone: 4080-byte blocks, one in flight; whole with its digest, refused, or cancelled uncommitted.
    void uploadJob_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("outcome"); // FontUpload::State
        QTest::addColumn<QList<qint64>>("blocks");
        const QList<qint64> three{4080, 4080, 1840};
        QTest::newRow("tcp") << "tcp" << 10000 << int(FontUpload::Committed) << three;
        QTest::newRow("usb") << "usb" << 10000 << int(FontUpload::Committed) << three;
        QTest::newRow("one block") << "tcp" << 4080 << int(FontUpload::Committed) << QList<qint64>{4080};
        QTest::newRow("refused") << "tcp" << 10000 << int(FontUpload::Refused) << QList<qint64>{};
        QTest::newRow("cancelled") << "tcp" << 10000 << int(FontUpload::Cancelled) << QList<qint64>{4080};
    }
    void uploadJob()
    {
        QFETCH(QString, link);
        QFETCH(int, size);
        QFETCH(int, outcome);
        QFETCH(QList<qint64>, blocks);
        QVERIFY(linkUp(link));
        printer().refuseUploads = outcome == FontUpload::Refused;
        const int mark = requests->count();
        FontUpload job;
        QSignalSpy written(g_transceiver, &Transceiver::bytesWritten);
        QSignalSpy finished(&job, &FontUpload::finished);
        QList<quint32> progress;
        connect(&job, &FontUpload::progress, &job, [&](quint32 done, quint32 total) {
            QCOMPARE(total, quint32(size));
            progress << done;
            if (outcome == FontUpload::Cancelled && done > 0)
                job.cancel();
        });
        const QByteArray bytes = patternBytes(size);
        QVERIFY(job.start("/data/PUB/fonts/Job.ttf", bytes));
        QVERIFY(!job.start("/data/PUB/fonts/Again.ttf", bytes)); // one file a job
        QTRY_COMPARE(int(job.state()), outcome);
        QTest::qWait(50);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).value<FontUpload::State>(), job.state());
        QList<qint64> reports;
        for (const QList<QVariant> &r : written)
            reports << r.at(0).toLongLong();
        // The request, the blocks, and the commit that only a whole file gets.
        const bool whole = outcome == FontUpload::Committed;
        QCOMPARE(reports.mid(1, blocks.size()), blocks);
        QCOMPARE(reports.size(), 1 + blocks.size() + (whole ? 1 : 0));
        QCOMPARE(wordsSince(mark), whole ? (QList<quint16>{BeginFileUpload, CommitFileUpload})
                                         : QList<quint16>{BeginFileUpload});
        QCOMPARE(printer().fontFolder.content("Job.ttf"), whole ? bytes : QByteArray());
        QCOMPARE(progress.isEmpty(), outcome == FontUpload::Refused);
        QVERIFY(progress.isEmpty() || progress.first() == 0);
    }

    // Uninstall asks first; Install uploads and relists; a refusal or a name too long changes nothing.
    void fontFiles()
    {
        QVERIFY(linkUp(QStringLiteral("tcp")));
        DialogFontSettings dialog;
        QVERIFY(openDialog(dialog));
        int mark = requests->count();
        dialog.doRemoveFont(); // nothing selected: nothing asked
        const QList<QTableWidgetItem *> found = dialog.installedTable()->findItems(QStringLiteral("sans-thai.ttf"), Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        dialog.installedTable()->selectRow(found.first()->row());
        bool seen = false;
        answerMessageBox(QMessageBox::No, &seen);
        dialog.doRemoveFont();
        QVERIFY(seen);
        QTest::qWait(50);
        QCOMPARE(requests->count(), mark);

        answerMessageBox(QMessageBox::Yes, &seen);
        dialog.doRemoveFont();
        QTRY_COMPARE(wordsSince(mark), (QList<quint16>{DeleteFile, ListFiles}));
        QTRY_COMPARE(dialog.installedNames().size(), 4); // sans-thai.ttf gone

        const QString local = writeLocalFile(dir, QStringLiteral("Upload.ttf"), 10000);
        int progressMaximum = 0;
        connect(g_transceiver, &Transceiver::bytesWritten, &dialog, [&] {
            progressMaximum = dialog.progressDialog() ? dialog.progressDialog()->maximum() : progressMaximum;
        });
        mark = requests->count();
        QVERIFY(dialog.installFont(local));
        QVERIFY(dialog.uploading());
        QTRY_VERIFY(dialog.installedNames().contains(QStringLiteral("Upload.ttf")));
        QCOMPARE(printer().fontFolder.content("Upload.ttf"), patternBytes(10000));
        QVERIFY(!dialog.uploading() && !dialog.progressDialog());
        QCOMPARE(wordsSince(mark), (QList<quint16>{BeginFileUpload, CommitFileUpload, ListFiles}));
        QCOMPARE(progressMaximum, 10000);

        printer().refuseUploads = true;
        mark = requests->count();
        QVERIFY(dialog.installFont(writeLocalFile(dir, QStringLiteral("Refused.ttf"), 100)));
        QTRY_VERIFY(!dialog.uploading() && !dialog.progressDialog());
        QString text;
        readMessageBox(&text);
        const QString longName = QString(108, QLatin1Char('n')) + QStringLiteral(".ttf");
        QVERIFY(!dialog.installFont(writeLocalFile(dir, longName, 10)));
        QVERIFY2(text.startsWith(QStringLiteral("Font Settings|")) && text.contains(QStringLiteral("too long")), qPrintable(text));
        QVERIFY(!dialog.installFont(dir.filePath(QStringLiteral("missing.ttf"))));
        QTest::qWait(50);
        QCOMPARE(wordsSince(mark), QList<quint16>{BeginFileUpload}); // no commit
    }
};

QTEST_MAIN(TestFontSettings)
#include "tst_fontsettings.moc"
