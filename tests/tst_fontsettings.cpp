#include "tests/windowfixture.h"
#include "tests/testfiles.h"
#include "emulator/usbptyprinter.h"
#include "print/dialogfontsettings.h"
#include "protocol/filerecord.h"
#include "transport/usbport.h"

#include <QAbstractItemDelegate>
#include <QComboBox>
#include <QProgressDialog>
#include <QSpinBox>
#include <QTableWidget>

namespace {

FontScriptRecord latinRecord()
{
    FontScriptRecord r;
    r.enabled = true;
    r.ct = 1;
    r.px = 2;
    r.ad = 3;
    r.script = "LATIN";
    r.language = "en";
    r.font = "DejaVuSans.ttf";
    r.faceIndex = 0;
    r.threshold = 128;
    r.pixelWidth = 24;
    r.pixelHeight = 24;
    r.advance = 12;
    r.ranges = {{0x20, 0x7E}, {0x4E00, 0x9FFF}};
    return r;
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

QStringList namesOf(const QVector<FontFolder::Entry> &entries)
{
    QStringList out;
    for (const FontFolder::Entry &e : entries)
        out << QString::fromLatin1(e.name);
    return out;
}

// HostCmd signals from the USB reader thread, brought to this thread as the dialog gets them.
class Relay : public QObject
{
    Q_OBJECT

public:
    Relay()
    {
        connect(&g_hostCmd, &HostCmd::deviceFound, this, &Relay::deviceFound, Qt::QueuedConnection);
    }

signals:
    void deviceFound(host_cmd_dev_info_t devinfo);
};

} // namespace

// The font settings dialog: its rows both ways, its editors, and its traffic.
class TestFontSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    Relay relay;
    // The printer of the case, on TCP or on USB, and what it was asked.
    PrinterEmulator *emulator = nullptr;
    PrinterState usbState;
    UsbPtyPrinter *usbPrinter = nullptr;
    QTemporaryDir *sysfs = nullptr;
    QVector<quint16> words;

    PrinterState &printer() { return emulator ? emulator->state() : usbState; }

    // The words asked since a mark, as the emulator decoded them.
    QVector<quint16> wordsSince(int mark) const { return words.mid(mark); }

    // Connects to a fresh emulator over the link the case names.
    bool linkUp(const QString &link, const char *address = "127.0.0.50")
    {
        EmulatorOptions options;
        options.keepAliveMs = 0;
        QSignalSpy found(&relay, &Relay::deviceFound);
        words.clear();
        const auto note = [this](quint16 word, const QByteArray &) { words << word; };
        if (link == QLatin1String("usb")) {
            usbState = PrinterState();
            sysfs = new QTemporaryDir;
            usbPrinter = new UsbPtyPrinter(usbState, options);
            if (!usbPrinter->start(sysfs->path(), 0x3273, 0x0002))
                return false;
            connect(usbPrinter, &UsbPtyPrinter::requestReceived, this, note);
            UsbPort::setSysfsRoot(sysfs->path().toStdString());
            if (!g_transceiver->openUsb(usbPrinter->devicePath(), false))
                return false;
        } else {
            options.listen = QHostAddress(QString::fromLatin1(address));
            emulator = new PrinterEmulator(options);
            if (!emulator->listen())
                return false;
            connect(emulator, &PrinterEmulator::requestReceived, this, note);
            g_transceiver->connectTcp(options.listen, Transceiver::IdentifyByHandshake);
        }
        return found.wait(3000);
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
    void initTestCase()
    {
        QVERIFY(logOpen(dir.filePath(QStringLiteral("log.txt"))));
        g_transceiver = new Transceiver;
    }
    void cleanupTestCase()
    {
        delete g_transceiver;
        g_transceiver = nullptr;
        logClose();
    }
    void cleanup()
    {
        g_transceiver->close();
        delete emulator;
        emulator = nullptr;
        delete usbPrinter;
        usbPrinter = nullptr;
        delete sysfs;
        sysfs = nullptr;
        UsbPort::setSysfsRoot("/sys");
    }

    void recordBothWays()
    {
        FontScriptRecord in = latinRecord();
        QByteArray bytes = in.toBytes(GetFontScripts);
        QCOMPARE(bytes.size(), FontScriptRecord::Size);
        QCOMPARE(ByteFields::u32(bytes, 118 + 8), 0x4E00u);
        // Whatever follows the first range starting at 0 is not a range.
        ByteFields::putU32(bytes, 118 + 24, 0x30);
        FontScriptRecord out;
        QVERIFY(FontScriptRecord::decode(bytes, &out));
        QCOMPARE(out.ranges, in.ranges);
        QCOMPARE(FontScriptRecord::rangesText(out.ranges), QStringLiteral("U+0020~U+007E;U+4E00~U+9FFF"));
        QCOMPARE(out.toBytes(SetFontScript).mid(2), in.toBytes(SetFontScript).mid(2));
        QVERIFY(!FontScriptRecord::decode(bytes.left(437), &out));

        ByteFields::putU32(bytes, 118, 0);
        QVERIFY(FontScriptRecord::decode(bytes, &out));
        QVERIFY(out.ranges.isEmpty());
        QCOMPARE(FontScriptRecord::rangesText(out.ranges), QString());
        QCOMPARE(FontScriptRecord::rangesText({{0x1F600, 0x1F64F}}), QStringLiteral("U+1F600~U+1F64F"));

        QCOMPARE(DialogFontSettings::remotePath(QString(111, QLatin1Char('a'))).size(), 127);
        QVERIFY(DialogFontSettings::remotePath(QString(112, QLatin1Char('a'))).isEmpty());
        QCOMPARE(DialogFontSettings::remotePath(QStringLiteral("字体.ttf")), QByteArray("/data/PUB/fonts/??.ttf"));
    }

    void rowsFromAnswers()
    {
        DialogFontSettings dialog;
        FontScriptRecord latin = latinRecord();
        dialog.handleResponse(latin.toBytes(GetFontScripts));
        FontScriptRecord han = latin;
        han.enabled = false;
        han.script = "NOT_A_SCRIPT";
        han.ranges.clear();
        dialog.handleResponse(han.toBytes(GetFontScripts));
        dialog.handleResponse(han.toBytes(GetFontScripts).left(437)); // too short: ignored

        QTableWidget *t = dialog.scriptTable();
        QCOMPARE(t->rowCount(), 2);
        QCOMPARE(t->item(0, DialogFontSettings::ColEnabled)->checkState(), Qt::Checked);
        QCOMPARE(t->item(1, DialogFontSettings::ColEnabled)->checkState(), Qt::Unchecked);
        QCOMPARE(column(t, DialogFontSettings::ColScript), (QStringList{"LATIN", "NOT_A_SCRIPT"}));
        QCOMPARE(t->item(0, DialogFontSettings::ColThreshold)->text(), QStringLiteral("128"));
        QCOMPARE(t->item(0, DialogFontSettings::ColAd)->text(), QStringLiteral("3"));
        QCOMPARE(column(t, DialogFontSettings::ColRanges), (QStringList{"U+0020~U+007E;U+4E00~U+9FFF", ""}));
        QVERIFY(!(t->item(0, DialogFontSettings::ColCt)->flags() & Qt::ItemIsEditable));
        QVERIFY(!(t->item(0, DialogFontSettings::ColRanges)->flags() & Qt::ItemIsEditable));
        QVERIFY(t->item(0, DialogFontSettings::ColFont)->flags() & Qt::ItemIsEditable);
        // Filling raised cellChanged, yet nothing is to apply until an edit.
        QVERIFY(!dialog.applyButton()->isEnabled());
        t->item(0, DialogFontSettings::ColThreshold)->setData(Qt::DisplayRole, 90);
        QVERIFY(dialog.applyButton()->isEnabled());

        // A row goes back as it came, ranges included.
        latin.threshold = 90;
        QCOMPARE(dialog.scriptRecord(0).toBytes(SetFontScript), latin.toBytes(SetFontScript));
        // Texts longer than their fields are cut, each keeping its terminating zero.
        t->item(1, DialogFontSettings::ColScript)->setText(QString(40, QLatin1Char('S')));
        t->item(1, DialogFontSettings::ColLanguage)->setText(QStringLiteral("zh-CN"));
        const QByteArray cut = dialog.scriptRecord(1).toBytes(SetFontScript);
        QCOMPARE(ByteFields::text(cut, 6), QByteArray(31, 'S'));
        QCOMPARE(ByteFields::text(cut, 38), QByteArray("zh-"));

        dialog.handleResponse(listEntry("fonts.conf", 900));
        dialog.handleResponse(listEntry("fonts.conf.bak", 900));
        dialog.handleResponse(listEntry("NotoSans.ttf", 90000));
        dialog.handleResponse(listEntry("myfonts.conf", 12));
        dialog.handleResponse(listEntry("Big.otf", 1000000));
        dialog.handleResponse(listEntry("Short.ttf", 1).left(133));
        QCOMPARE(dialog.installedNames(), (QStringList{"NotoSans.ttf", "myfonts.conf", "Big.otf"}));
        QTableWidget *files = dialog.installedTable();
        files->sortByColumn(1, Qt::AscendingOrder);
        QCOMPARE(column(files, 1), (QStringList{"12", "90000", "1000000"}));
    }

    void editors()
    {
        DialogFontSettings dialog;
        FontScriptRecord r = latinRecord();
        r.script = "KLINGON";
        dialog.handleResponse(r.toBytes(GetFontScripts));
        dialog.handleResponse(listEntry("A.ttf", 1));
        dialog.handleResponse(listEntry("B.otf", 2));
        QTableWidget *t = dialog.scriptTable();
        const auto editor = [t](int col) {
            const QModelIndex index = t->model()->index(0, col);
            QAbstractItemDelegate *d = t->itemDelegateForColumn(col);
            QWidget *w = d->createEditor(t->viewport(), QStyleOptionViewItem(), index);
            d->setEditorData(w, index);
            return std::make_pair(d, w);
        };

        auto [scriptDelegate, scriptEditor] = editor(DialogFontSettings::ColScript);
        auto *scripts = qobject_cast<QComboBox *>(scriptEditor);
        QVERIFY(scripts && !scripts->isEditable());
        QCOMPARE(scripts->count(), 136);
        QCOMPARE(scripts->itemText(135), QStringLiteral("YI"));
        // A name the list does not have opens on the first one, and that is what is written.
        QCOMPARE(scripts->currentText(), QStringLiteral("UNKNOWN"));
        scriptDelegate->setModelData(scripts, t->model(), t->model()->index(0, DialogFontSettings::ColScript));
        QCOMPARE(t->item(0, DialogFontSettings::ColScript)->text(), QStringLiteral("UNKNOWN"));

        auto [fontDelegate, fontEditor] = editor(DialogFontSettings::ColFont);
        auto *fonts = qobject_cast<QComboBox *>(fontEditor);
        QVERIFY(fonts && fonts->isEditable());
        QCOMPARE(fonts->count(), 2);
        QCOMPARE(fonts->itemText(1), QStringLiteral("B.otf"));
        fonts->setCurrentText(QStringLiteral("Typed.ttf"));
        fontDelegate->setModelData(fonts, t->model(), t->model()->index(0, DialogFontSettings::ColFont));
        QCOMPARE(t->item(0, DialogFontSettings::ColFont)->text(), QStringLiteral("Typed.ttf"));

        const QList<QPair<int, int>> maxima{{DialogFontSettings::ColFaceIndex, 7},
                                            {DialogFontSettings::ColThreshold, 255},
                                            {DialogFontSettings::ColPixelWidth, 96},
                                            {DialogFontSettings::ColPixelHeight, 96},
                                            {DialogFontSettings::ColAdvance, 96}};
        for (const auto &[col, max] : maxima) {
            auto *box = qobject_cast<QSpinBox *>(editor(col).second);
            QVERIFY(box);
            QCOMPARE(box->maximum(), max);
        }
    }

    void applyAndReset()
    {
        QVERIFY(linkUp(QStringLiteral("tcp"), "127.0.0.50"));
        DialogFontSettings dialog;
        QVERIFY(openDialog(dialog));
        QCOMPARE(words, (QVector<quint16>{PrinterEmulator::HelloWord, GetFontScripts, ListFiles}));
        QVERIFY(!dialog.applyButton()->isEnabled());
        // Refresh is held for a second after each refresh.
        QVERIFY(!dialog.refreshButton()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(dialog.refreshButton()->isEnabled(), 2000);

        QTableWidget *t = dialog.scriptTable();
        const int rows = t->rowCount();
        t->item(0, DialogFontSettings::ColThreshold)->setData(Qt::DisplayRole, 77);
        t->item(1, DialogFontSettings::ColEnabled)->setCheckState(Qt::Unchecked);
        QVERIFY(dialog.applyButton()->isEnabled());
        int mark = words.size();
        dialog.applyButton()->click();
        QVERIFY(!dialog.applyButton()->isEnabled());
        QTRY_COMPARE(words.size(), mark + rows + 2);
        QVector<quint16> sent(rows, SetFontScript);
        sent.prepend(BeginFontScripts);
        sent.append(EndFontScripts);
        QCOMPARE(wordsSince(mark), sent);
        QCOMPARE(printer().fontScripts.size(), rows);
        QCOMPARE(printer().fontScripts.at(0).threshold, quint16(77));
        QVERIFY(!printer().fontScripts.at(1).enabled);

        // What the printer kept comes back on a refresh.
        dialog.refreshButton()->click();
        QTRY_COMPARE(t->rowCount(), rows);
        QTRY_COMPARE(t->item(0, DialogFontSettings::ColThreshold)->text(), QStringLiteral("77"));
        QCOMPARE(t->item(1, DialogFontSettings::ColEnabled)->checkState(), Qt::Unchecked);

        // Reset reloads the script table only.
        mark = words.size();
        dialog.resetButton()->click();
        QTRY_COMPARE(t->rowCount(), PrinterState::defaultFontScripts().size());
        QCOMPARE(wordsSince(mark), (QVector<quint16>{ResetFontScripts, GetFontScripts}));
        QCOMPARE(t->item(0, DialogFontSettings::ColThreshold)->text(),
                 QString::number(PrinterState::defaultFontScripts().at(0).threshold));
    }

    void uninstall()
    {
        QVERIFY(linkUp(QStringLiteral("tcp"), "127.0.0.51"));
        DialogFontSettings dialog;
        QVERIFY(openDialog(dialog));
        const int mark = words.size();
        dialog.uninstallButton()->click(); // nothing selected: nothing asked
        QTableWidget *files = dialog.installedTable();
        const int row = dialog.installedNames().indexOf(QStringLiteral("sans-thai.ttf"));
        QVERIFY(row >= 0);
        files->selectRow(files->row(files->findItems(QStringLiteral("sans-thai.ttf"), Qt::MatchExactly).first()));
        bool seen = false;
        answerMessageBox(QMessageBox::No, &seen);
        dialog.uninstallButton()->click();
        QVERIFY(seen);
        QTest::qWait(50);
        QCOMPARE(words.size(), mark);

        seen = false;
        answerMessageBox(QMessageBox::Yes, &seen);
        dialog.uninstallButton()->click();
        QVERIFY(seen);
        QTRY_COMPARE(wordsSince(mark), (QVector<quint16>{DeleteFile, ListFiles}));
        QTRY_COMPARE(dialog.installedNames().size(), 4);
        QVERIFY(!dialog.installedNames().contains(QStringLiteral("sans-thai.ttf")));
        QVERIFY(!printer().fontFolder.contains("sans-thai.ttf"));
    }

    void upload_data()
    {
        QTest::addColumn<QString>("link");
        QTest::newRow("tcp") << QStringLiteral("tcp");
        QTest::newRow("usb") << QStringLiteral("usb");
    }
    void upload()
    {
        QFETCH(QString, link);
        QVERIFY(linkUp(link, "127.0.0.52"));
        DialogFontSettings dialog;
        QVERIFY(openDialog(dialog));
        const QString local = writeLocalFile(dir, QStringLiteral("Upload.ttf"), 10000);
        QFile f(local);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();

        QSignalSpy written(g_transceiver, &Transceiver::bytesWritten);
        int progressMaximum = 0;
        connect(g_transceiver, &Transceiver::bytesWritten, &dialog, [&] {
            if (dialog.progressDialog())
                progressMaximum = dialog.progressDialog()->maximum();
        });
        const int mark = words.size();
        QVERIFY(dialog.installFont(local));
        QTRY_VERIFY(printer().fontFolder.contains("Upload.ttf"));
        QCOMPARE(printer().fontFolder.content("Upload.ttf"), bytes);
        QTRY_VERIFY(dialog.installedNames().contains(QStringLiteral("Upload.ttf")));
        QVERIFY(!dialog.uploading());
        QCOMPARE(wordsSince(mark), (QVector<quint16>{BeginFileUpload, CommitFileUpload, ListFiles}));
        // Between the request packets, the file in three blocks.
        QList<qint64> reports;
        for (const QList<QVariant> &r : written)
            reports << r.at(0).toLongLong();
        QCOMPARE(reports.mid(1, 3), (QList<qint64>{4080, 4080, 1840}));
        QCOMPARE(reports.size(), 6);
        QCOMPARE(progressMaximum, 10000);
        QVERIFY(!dialog.progressDialog());
        const QList<QTableWidgetItem *> shown = dialog.installedTable()->findItems(QStringLiteral("Upload.ttf"), Qt::MatchExactly);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(dialog.installedTable()->item(shown.first()->row(), 1)->text(), QStringLiteral("10000"));
    }

    void refusedAndLongNames()
    {
        QVERIFY(linkUp(QStringLiteral("tcp"), "127.0.0.53"));
        printer().refuseUploads = true;
        DialogFontSettings dialog;
        QVERIFY(openDialog(dialog));
        const QStringList before = namesOf(printer().fontFolder.entries());
        const int mark = words.size();
        QVERIFY(dialog.installFont(writeLocalFile(dir, QStringLiteral("Refused.ttf"), 10000)));
        QTRY_VERIFY(!dialog.uploading());
        QTest::qWait(50);
        QCOMPARE(wordsSince(mark), QVector<quint16>{BeginFileUpload});
        QVERIFY(!dialog.progressDialog());
        QCOMPARE(namesOf(printer().fontFolder.entries()), before);

        // A name the 127-byte path cannot hold is refused before anything goes out.
        QString text;
        readMessageBox(&text);
        const QString longName = QString(108, QLatin1Char('n')) + QStringLiteral(".ttf");
        QVERIFY(!dialog.installFont(writeLocalFile(dir, longName, 10)));
        QVERIFY2(text.startsWith(QStringLiteral("Font Settings|")) && text.contains(QStringLiteral("too long")), qPrintable(text));
        QVERIFY(!dialog.installFont(dir.filePath(QStringLiteral("missing.ttf"))));
        QTest::qWait(50);
        QCOMPARE(wordsSince(mark), QVector<quint16>{BeginFileUpload});
    }
};

QTEST_MAIN(TestFontSettings)
#include "tst_fontsettings.moc"
