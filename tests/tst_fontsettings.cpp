#include "tests/windowfixture.h"
#include "app/activity.h"
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
        usbState = PrinterState();
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
        QCOMPARE(column(dialog.installedTable(), 1), (QStringList{"12 bytes", "1 000 000 bytes"}));

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

        // Reset asks first, then reloads the script table only.
        mark = requests->count();
        bool asked = false;
        answerMessageBox(QMessageBox::No, &asked);
        dialog.doResetToDefault();
        QVERIFY(asked && quietAt(mark));
        answerMessageBox(QMessageBox::Yes, &asked);
        dialog.doResetToDefault();
        QTRY_COMPARE(t->rowCount(), PrinterState::defaultFontScripts().size());
        QCOMPARE(t->item(0, DialogFontSettings::ColThreshold)->text(),
                 QString::number(PrinterState::defaultFontScripts().at(0).threshold));
        QCOMPARE(wordsSince(mark), (QList<quint16>{ResetFontScripts, GetFontScripts}));
    }

    // 4080-byte blocks, one in flight; what the printer did, what went on the wire, what the user is told.
    void uploadOutcomes_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("outcome"); // FontUpload::State
        QTest::addColumn<QList<qint64>>("blocks");
        QTest::addColumn<QList<quint16>>("words"); // after the request: a cancel restarts the link, no commit
        QTest::addColumn<QString>("printerSays");
        QTest::addColumn<QString>("told"); // a message box too, but for an installed font
        const QList<qint64> three{4080, 4080, 1840};
        const QList<quint16> committed{CommitFileUpload, ListFiles}, restarted{PrinterEmulator::HelloWord, ListFiles};
        const QString installed = "MD5 good, installed", told = "Font \"Up.ttf\" installed, digest accepted";
        const QString cut = "cancelled after 4080 of 10000 bytes (connection ended), partial file discarded";
        const QString cancelled = "Font \"Up.ttf\" not installed: upload cancelled after 4 080 of 10 000 bytes; "
                                  "the printer discarded the partial file";
        QTest::newRow("tcp") << "tcp" << 10000 << int(FontUpload::Committed) << three << committed << installed << told;
        QTest::newRow("usb") << "usb" << 10000 << int(FontUpload::Committed) << three << committed << installed << told;
        QTest::newRow("one block") << "tcp" << 4080 << int(FontUpload::Committed) << QList<qint64>{4080} << committed
                                   << installed << told;
        QTest::newRow("refused") << "tcp" << 10000 << int(FontUpload::Refused) << QList<qint64>{} << QList<quint16>{}
                                 << "refused, uploads are turned off"
                                 << "Font \"Up.ttf\" not installed: the printer refused the upload";
        QTest::newRow("cancelled tcp") << "tcp" << 10000 << int(FontUpload::Cancelled) << QList<qint64>{4080}
                                       << restarted << cut << cancelled;
        QTest::newRow("cancelled usb") << "usb" << 10000 << int(FontUpload::Cancelled) << QList<qint64>{4080}
                                       << restarted << cut << cancelled;
    }
    void uploadOutcomes()
    {
        QFETCH(QString, link);
        QFETCH(int, size);
        QFETCH(int, outcome);
        QFETCH(QList<qint64>, blocks);
        QFETCH(QList<quint16>, words);
        QFETCH(QString, printerSays);
        QFETCH(QString, told);
        QVERIFY(linkUp(link));
        printer().refuseUploads = outcome == FontUpload::Refused;
        QStringList log;
        DialogFontSettings dialog;
        const auto note = [&log](const QString &line) { log << line; };
        if (emulator)
            connect(emulator.get(), &PrinterEmulator::logLine, &dialog, note);
        else
            connect(usbPrinter.get(), &UsbPtyPrinter::logLine, &dialog, note);
        QVERIFY(openDialog(dialog));
        const int mark = requests->count();
        QSignalSpy written(g_transceiver, &Transceiver::bytesWritten);
        QSignalSpy activity(&Activity::instance(), &Activity::reported);
        const QString local = writeLocalFile(dir, QStringLiteral("Up.ttf"), size);
        const QString box = messageOf([&] {
            QVERIFY(dialog.installFont(local));
            // Cancelled as the second block is about to go.
            connect(dialog.findChild<FontUpload *>(), &FontUpload::progress, [&](quint32 done) {
                if (outcome == FontUpload::Cancelled && done > 0)
                    emit dialog.progressDialog()->canceled(); // as its Cancel button does
            });
        }, outcome == FontUpload::Committed ? 0 : 5000);
        QTRY_COMPARE(activity.count(), 1);
        QCOMPARE(activity.at(0).at(0).toString(), told);
        QCOMPARE(box, outcome == FontUpload::Committed ? QString() : "Font Settings|" + told);
        QTRY_COMPARE(wordsSince(mark), QList<quint16>{BeginFileUpload} + words);
        QList<qint64> reports;
        for (const QList<QVariant> &r : written)
            reports << r.at(0).toLongLong();
        QCOMPARE(reports.mid(1, blocks.size()), blocks);
        QVERIFY2(log.filter(printerSays).size() == 1, qPrintable(log.join('\n')));
        const bool whole = outcome == FontUpload::Committed;
        QCOMPARE(printer().fontFolder.content("Up.ttf"), whole ? patternBytes(size) : QByteArray());
        QTRY_COMPARE(dialog.installedNames().contains("Up.ttf"), whole);
        QVERIFY(!dialog.uploading() && !dialog.progressDialog());
        // Back on the link, the window keeps its pages without reading them again.
        QVERIFY(window->disconnectAction()->isEnabled() && window->tabWidget()->isEnabled());
    }

    // Uninstall asks first; a file that cannot go up is named, and nothing is sent.
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

        // A name too long, a file missing or empty: told, nothing sent.
        mark = requests->count();
        const QString longName = QString(108, QLatin1Char('n')) + QStringLiteral(".ttf");
        const QString local = writeLocalFile(dir, longName, 10);
        const QString said = messageOf([&] { QVERIFY(!dialog.installFont(local)); });
        QVERIFY2(said.contains(QStringLiteral("n…n")) && said.contains(QStringLiteral(".ttf\" is too long")), qPrintable(said));
        QVERIFY(messageOf([&] { QVERIFY(!dialog.installFont(dir.filePath(QStringLiteral("missing.ttf")))); })
                    .startsWith(QStringLiteral("Font Settings|The font file \"missing.ttf\" cannot be read: ")));
        QVERIFY(messageOf([&] { QVERIFY(!dialog.installFont(writeLocalFile(dir, QStringLiteral("Empty.ttf"), 0))); })
                    .contains(QStringLiteral("\"Empty.ttf\" is empty")));
        QVERIFY(quietAt(mark));
    }
};

QTEST_MAIN(TestFontSettings)
#include "tst_fontsettings.moc"
