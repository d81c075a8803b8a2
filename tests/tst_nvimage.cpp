#include "tests/windowfixture.h"
#include "tests/testfiles.h"

#include "app/activity.h"

#include "emulator/rawprintserver.h"
#include "nvimage/dialogdownloadnvimage.h"
#include "nvimage/nvimagecommands.h"
#include "nvimage/nvimagesink.h"
#include "nvimage/widgetnvimage.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>


// commandLayouts pins the command bytes; the other cases compare with those builders.
namespace {

// An image list answer; each entry is a key code and a size.
QByteArray listAnswer(quint32 identity, quint32 memorySize, const QList<QPair<QByteArray, quint32>> &entries)
{
    QByteArray a(398, '\0');
    ByteFields::putU16(a, 0, GetNvImageList);
    ByteFields::putU32(a, 2, identity);
    ByteFields::putU32(a, 6, memorySize);
    ByteFields::putU16(a, 12, quint16(entries.size()));
    for (int i = 0; i < entries.size(); ++i) {
        a.replace(14 + 6 * i, 2, entries.at(i).first);
        ByteFields::putU32(a, 16 + 6 * i, entries.at(i).second);
    }
    return a;
}

// White, with a black square of side dots at (x0, y0).
QImage squareImage(int width, int height, int x0, int y0, int side)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(x0, y0, side, side, Qt::black);
    return image;
}

// The rows with the bits beyond the width cleared: readers may leave those uninitialised.
QByteArray visibleBits(const QImage &mono)
{
    QByteArray rows = NvImageCommands::rasterRows(mono);
    const int perRow = NvImageCommands::bytesPerRow(mono.width());
    const uchar mask = uchar(0xFF00 >> ((mono.width() - 1) % 8 + 1));
    for (int y = 0; y < mono.height(); ++y)
        rows[y * perRow + perRow - 1] = char(uchar(rows.at(y * perRow + perRow - 1)) & mask);
    return rows;
}

} // namespace

// The NV image dialog and page, alone and, last, against the emulator.
class TestNvImage : public WindowFixture
{
    Q_OBJECT

    QList<QByteArray> sent; // all the page and the dialog send, link or not

    QString saved(const QImage &image, const char *name)
    {
        const QString file = dir.filePath(QString::fromLatin1(name));
        return image.save(file) ? file : QString();
    }

    WidgetNvImage *page() const { return window->nvImagePage(); }

private slots:
    void initTestCase()
    {
        setUpWindow();
        NvImageSink::setListener([this](const QByteArray &bytes) { sent.append(bytes); });
    }
    void cleanupTestCase()
    {
        NvImageSink::setListener({});
        tearDownWindow();
    }
    void init()
    {
        sent.clear();
        g_hostCmd.setProject(QStringLiteral("RX200"));
    }

    // The picture fits the printer's width; a box refuses what breaks a limit; no image changes nothing.
    void boxesFitThePrinter()
    {
        g_hostCmd.setProject(QStringLiteral("RX100"));
        DialogDownloadNvImage dialog({}, nullptr);
        // "width x height boxes, preview size"
        const auto shown = [&dialog] {
            return QStringLiteral("%1x%2 %3x%4").arg(dialog.widthBox()->value()).arg(dialog.heightBox()->value())
                .arg(dialog.oneBitImage().width()).arg(dialog.oneBitImage().height());
        };
        QVERIFY(!dialog.widthBox()->isEnabled() && !dialog.printButton()->isEnabled());
        QVERIFY(dialog.openImage(saved(squareImage(1000, 500, 0, 0, 1), "wide.png")));
        QCOMPARE(dialog.informationLabel()->text(), QStringLiteral("1000x500x32b"));
        QVERIFY(dialog.widthBox()->isEnabled() && dialog.printButton()->isEnabled() && !dialog.downloadButton()->isEnabled());
        QVERIFY(!dialog.openImage(writeLocalFile(dir, QStringLiteral("junk.png"), 100))); // no picture
        QCOMPARE(shown(), QStringLiteral("384x192 384x192"));
        dialog.heightBox()->setValue(200); // would need 400 wide: the width box and the preview stay
        QCOMPARE(shown(), QStringLiteral("384x200 384x192"));
        dialog.heightBox()->setValue(100);
        QCOMPARE(shown(), QStringLiteral("200x100 200x100"));

        dialog.setSourceImage(squareImage(300, 1200, 0, 0, 1));
        dialog.widthBox()->setValue(201); // 804 high: refused as above
        QCOMPARE(shown(), QStringLiteral("201x800 200x800"));
        dialog.widthBox()->setValue(100);
        QCOMPARE(shown(), QStringLiteral("100x400 100x400"));
        dialog.keepAspectBox()->setChecked(false); // each box moves alone
        dialog.widthBox()->setValue(150);
        QCOMPARE(shown(), QStringLiteral("150x400 150x400"));
    }

    void commandLayouts()
    {
        // The height step starts again from the source width; the plain fits go through the dialog.
        QCOMPARE(NvImageCommands::fit({1000, 2000}, 576), QSize(400, 800));
        QCOMPARE(NvImageCommands::fit({1000, 500}, 0), QSize(0, 0)); // unknown printer

        // 9 dots: two bytes a row, the ninth dot in the top bit of the second.
        QImage mono(9, 2, QImage::Format_Mono);
        mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        mono.fill(0);
        mono.setPixel(0, 0, 1);
        mono.setPixel(8, 1, 1);
        const QByteArray rows("\x80\x00\x00\x80", 4);
        QCOMPARE(NvImageCommands::rasterRows(mono), rows);
        QCOMPARE(NvImageCommands::rasterRows(mono.convertToFormat(QImage::Format_MonoLSB)), rows);

        // On 80 mm paper four feeds follow: pinned through the dialog's Print below.
        QCOMPARE(NvImageCommands::printRaster(mono, 384),
                 QByteArray("\x1D\x76\x30\x00\x02\x00\x02\x00", 8) + rows + QByteArray("\n\n"));
        QCOMPARE(NvImageCommands::define(mono, 'A', 'B'),
                 QByteArray("\x1D\x28\x4C\x0F\x00\x30\x43\x30\x41\x42\x01\x09\x00\x02\x00\x31", 16) + rows);
        QCOMPARE(NvImageCommands::printStored('A', 'A'),
                 QByteArray("\x1D\x28\x4C\x06\x00\x30\x45\x41\x41\x01\x01", 11));
        QCOMPARE(NvImageCommands::deleteOne('x', '1'), QByteArray("\x1D\x28\x4C\x04\x00\x30\x42x1", 9));
        QCOMPARE(NvImageCommands::deleteAll(), QByteArray("\x1D\x28\x4C\x05\x00\x30\x41\x43\x4C\x52", 10));

        // The largest image still fits the 16-bit length: 72 x 800 + 11.
        QImage big(576, 800, QImage::Format_Mono);
        big.fill(0);
        QCOMPARE(NvImageCommands::define(big, 'Z', 'Z').mid(3, 2), QByteArray("\x0B\xE1", 2));
    }

    // Black pixels are set bits in every mode, through the dialog's Print.
    void blackSquareIsSetBits()
    {
        DialogDownloadNvImage dialog({}, nullptr);
        QVERIFY(dialog.openImage(saved(squareImage(40, 24, 8, 4, 16), "square.png")));
        for (QRadioButton *mode : {dialog.diffuseButton(), dialog.orderedButton(), dialog.thresholdButton()}) {
            sent.clear();
            mode->click();
            QCOMPARE(dialog.oneBitImage().color(1), qRgb(0, 0, 0));
            dialog.printButton()->click();
            // 5 bytes a row; the square covers dots 8 to 23 of rows 4 to 19.
            const QByteArray white(4 * 5, '\0');
            QCOMPARE(sent, QList<QByteArray>{QByteArray("\x1D\x76\x30\x00\x05\x00\x18\x00", 8) + white
                                             + QByteArray::fromHex("00ffff0000").repeated(16) + white + "\n\n\n\n"});
        }
    }

    // A 1-bit image keeps its bits and colour table, even with black at index 0.
    void oneBitSourceUnchanged()
    {
        QImage mono(20, 6, QImage::Format_Mono);
        mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        mono.fill(1);
        for (int x = 0; x < 20; x += 3)
            mono.setPixel(x, x % 6, 0);
        const QByteArray expected = NvImageCommands::rasterRows(mono);

        DialogDownloadNvImage dialog({}, nullptr);
        dialog.setSourceImage(mono);
        dialog.kc1Field()->setText(QStringLiteral("M"));
        dialog.kc2Field()->setText(QStringLiteral("1"));
        for (QRadioButton *button : {dialog.orderedButton(), dialog.thresholdButton(), dialog.diffuseButton()}) {
            button->click();
            QCOMPARE(dialog.oneBitImage().color(0), qRgb(0, 0, 0));
            QCOMPARE(NvImageCommands::rasterRows(dialog.oneBitImage()), expected);
        }
        dialog.doDownload();
        QCOMPARE(sent, QList<QByteArray>{NvImageCommands::define(mono, 'M', '1')});

        // From a file: whatever table the reader gives, the bits go out as drawn.
        DialogDownloadNvImage fromFile({}, nullptr);
        QVERIFY(fromFile.openImage(saved(mono, "mono.png")));
        fromFile.thresholdButton()->click();
        QCOMPARE(visibleBits(fromFile.oneBitImage()), visibleBits(mono));
    }

    void keyCodeChecks()
    {
        DialogDownloadNvImage dialog({NvImageCommands::keyCode('A', 'B')}, nullptr);
        dialog.setSourceImage(squareImage(16, 8, 0, 0, 4));
        QTest::keyClicks(dialog.kc1Field(), QStringLiteral("A"));
        QVERIFY(!dialog.downloadButton()->isEnabled());

        QCOMPARE(messageOf([&] { dialog.doDownload(); }), QStringLiteral("Download NV Image|Please specify the key code."));
        for (const QString &bad : {QString(QChar(0x1F)), QString(QChar(0x7F))}) {
            dialog.kc2Field()->setText(bad);
            dialog.onKeyCodeTextEdited();
            QVERIFY(messageOf([&] { dialog.downloadButton()->click(); }).endsWith(QStringLiteral("(character code range: 32-126).")));
        }
        QVERIFY(sent.isEmpty());

        // A key code the printer holds: No sends nothing and keeps the dialog going.
        dialog.kc2Field()->clear();
        QTest::keyClicks(dialog.kc2Field(), QStringLiteral("B"));
        for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
            bool asked = false;
            answerMessageBox(answer, &asked);
            dialog.downloadButton()->click();
            QVERIFY(asked);
            QCOMPARE(sent.size(), answer == QMessageBox::Yes ? 1 : 0);
            QCOMPARE(dialog.result(), int(answer == QMessageBox::Yes ? QDialog::Accepted : QDialog::Rejected));
        }
        QCOMPARE(sent.at(0).mid(8, 2), QByteArray("AB"));

        // Two equal characters are fine and, not held, not asked about.
        dialog.kc2Field()->setText(QStringLiteral("A"));
        dialog.doDownload();
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent.at(1).mid(8, 2), QByteArray("AA"));
    }

    // Lists merge by identity; short lists and the cap of 64 are the decoder's, in tst_records.
    void listMergesByIdentity()
    {
        window->handleResponse(listAnswer(7, 65536, {{"AA", 100}, {"B1", 200}}));
        window->handleResponse(listAnswer(7, 65536, {{"C2", 300}}));
        QCOMPARE(page()->keyCodes(), (QList<quint16>{0x4141, 0x4231, 0x4332}));
        QCOMPARE(page()->table()->item(1, 0)->text(), QStringLiteral("\"B1\""));
        QCOMPARE(page()->usageLabel()->text(), QStringLiteral("600 of 65 536 bytes used"));
        window->handleResponse(listAnswer(8, 32768, {}));
        QVERIFY(page()->table()->rowCount() == 0 && page()->keyCodes().isEmpty());
        QCOMPARE(page()->usageLabel()->text(), QStringLiteral("0 of 32 768 bytes used"));
    }

    // What the page downloads and deletes the printer then holds and lists; Print takes one row only.
    void againstThePrinter()
    {
        QVERIFY(connectTo("127.0.0.70", "RX210", "RX220_S"));
        RawPrintServer rawPort;
        QVERIFY(rawPort.listen(QHostAddress(QStringLiteral("127.0.0.70"))));
        rawPort.setPrinterState(&emulator->state());
        const quint16 a1 = NvImageCommands::keyCode('A', '1'), b1 = NvImageCommands::keyCode('B', '1');
        const quint16 a2 = NvImageCommands::keyCode('A', '2'), z9 = NvImageCommands::keyCode('Z', '9');
        QCOMPARE(page()->keyCodes(), (QList<quint16>{a1, a2, b1}));
        QVERIFY(!page()->printButton()->isEnabled() && !page()->deleteButton()->isEnabled()); // none chosen

        QTimer::singleShot(0, [&] {
            if (auto *dialog = qobject_cast<DialogDownloadNvImage *>(QApplication::activeModalWidget())) {
                dialog->setSourceImage(squareImage(100, 40, 20, 8, 16));
                dialog->kc1Field()->setText(QStringLiteral("Z"));
                dialog->kc2Field()->setText(QStringLiteral("9"));
                dialog->onKeyCodeTextEdited();
                dialog->downloadButton()->click();
            }
        });
        int mark = requests->count();
        page()->doDownload();
        QTRY_VERIFY_WITH_TIMEOUT(page()->keyCodes().contains(z9), 5000);
        QCOMPARE(wordsSince(mark), QList<quint16>{GetNvImageList});
        QCOMPARE(page()->table()->item(page()->keyCodes().indexOf(z9), 1)->text(), QStringLiteral("520 bytes")); // 13 x 40
        // Its dots: the dialog's bits are pinned above, the printer's reading in tst_nvmemory.
        const NvMemory::Image *stored = emulator->state().nvMemory.find('Z', '9');
        QVERIFY(stored && stored->raster.width == 100 && stored->raster.dot(20, 8) && !stored->raster.dot(19, 8));

        const auto select = [this](std::initializer_list<quint16> keyCodes) {
            page()->table()->clearSelection();
            for (quint16 keyCode : keyCodes)
                page()->table()->selectionModel()->select(page()->table()->model()->index(page()->keyCodes().indexOf(keyCode), 0),
                                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        };
        select({a1, z9});
        QVERIFY(!page()->printButton()->isEnabled() && page()->deleteButton()->isEnabled());
        select({a2});
        sent.clear();
        page()->printButton()->click();
        QCOMPARE(sent, QList<QByteArray>{NvImageCommands::printStored('A', '2')});

        select({a1, a2});
        sent.clear();
        bool asked = false;
        answerMessageBox(QMessageBox::No, &asked);
        page()->deleteButton()->click();
        QVERIFY(asked && sent.isEmpty()); // asked first; No sends nothing
        mark = requests->count();
        QElapsedTimer timer;
        answerMessageBox(QMessageBox::Yes, &asked);
        timer.start();
        page()->deleteButton()->click();
        QVERIFY(timer.elapsed() >= WidgetNvImage::RefreshDelayMs - 10); // the printer's time to store
        QCOMPARE(QSet<QByteArray>(sent.begin(), sent.end()),
                 (QSet<QByteArray>{NvImageCommands::deleteOne('A', '1'), NvImageCommands::deleteOne('A', '2')}));
        QTRY_COMPARE(page()->keyCodes(), (QList<quint16>{b1, z9}));
        QCOMPARE(wordsSince(mark), QList<quint16>{GetNvImageList});

        answerMessageBox(QMessageBox::Yes, &asked);
        page()->doDeleteAll();
        QTRY_VERIFY(page()->keyCodes().isEmpty());
        QCOMPARE(Activity::last(), QStringLiteral("All NV images deleted"));
        QCOMPARE(page()->usageLabel()->text(), QStringLiteral("0 of 262 144 bytes used"));
        QVERIFY(emulator->state().nvMemory.images().isEmpty());
        sent.clear();
        page()->doDeleteAll(); // nothing listed: nothing sent
        QVERIFY(sent.isEmpty());
    }
};

QTEST_MAIN(TestNvImage)
#include "tst_nvimage.moc"
