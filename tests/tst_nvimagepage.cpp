#include "tests/windowfixture.h"

#include "emulator/rawprintserver.h"
#include "emulator/rasterspool.h"
#include "nvimage/dialogdownloadnvimage.h"
#include "nvimage/widgetnvimage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTableWidget>

// The NV image page against the emulator: what it downloads, prints and deletes is what the
// printer's memory then holds, and what it lists.
class TestNvImagePage : public WindowFixture
{
    Q_OBJECT

    WidgetNvImage *page() const { return window->nvImagePage(); }

    QStringList keyCodes() const
    {
        QStringList out;
        for (int row = 0; row < page()->table()->rowCount(); ++row)
            out << page()->table()->item(row, 0)->text();
        return out;
    }

    void selectKeyCode(const QString &shown)
    {
        page()->table()->clearSelection();
        const QList<QTableWidgetItem *> found = page()->table()->findItems(shown, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        page()->table()->selectRow(found.first()->row());
    }

private slots:
    void initTestCase() { setUpWindow(); }
    void cleanupTestCase() { tearDownWindow(); }

    void downloadPrintDeleteDeleteAll()
    {
        QVERIFY(connectTo("127.0.0.70", "RX210", "RX220_S"));
        RawPrintServer rawPort;
        QVERIFY(rawPort.listen(QHostAddress(QStringLiteral("127.0.0.70"))));
        rawPort.setPrinterState(&emulator->state());
        QTemporaryDir spool;
        rawPort.setSpoolDir(spool.path());
        QCOMPARE(keyCodes(), (QStringList{"\"A1\"", "\"A2\"", "\"B1\""}));

        // A 100 x 40 picture with a black square at (20, 8), 16 dots wide.
        QImage picture(100, 40, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter(&picture).fillRect(20, 8, 16, 16, Qt::black);
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<DialogDownloadNvImage *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialog->setSourceImage(picture);
            dialog->kc1Field()->setText(QStringLiteral("Z"));
            dialog->kc2Field()->setText(QStringLiteral("9"));
            dialog->onKeyCodeTextEdited();
            dialog->downloadButton()->click();
        });
        int mark = requests->count();
        page()->downloadButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(keyCodes().contains(QStringLiteral("\"Z9\"")), 5000);
        QCOMPARE(wordsSince(mark), QList<quint16>{GetNvImageList});
        const int row = keyCodes().indexOf(QStringLiteral("\"Z9\""));
        QCOMPARE(page()->table()->item(row, 1)->text(), QStringLiteral("520")); // 13 bytes x 40 rows

        // What the printer stored, as its PNG shows it, is the picture: black exactly on the square.
        const NvMemory::Image *stored = emulator->state().nvMemory.find('Z', '9');
        QVERIFY(stored);
        QImage back(spool.filePath(RasterSpool::storedFileName('Z', '9')));
        QCOMPARE(back.size(), picture.size());
        back = back.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < back.height(); ++y)
            for (int x = 0; x < back.width(); ++x)
                QCOMPARE(back.pixel(x, y) == qRgb(0, 0, 0), x >= 20 && x < 36 && y >= 8 && y < 24);

        selectKeyCode(QStringLiteral("\"Z9\""));
        const int prints = emulator->state().nvMemory.printCount();
        page()->printButton()->click();
        QTRY_COMPARE(emulator->state().nvMemory.printCount(), prints + 1);

        selectKeyCode(QStringLiteral("\"A2\""));
        mark = requests->count();
        page()->deleteButton()->click();
        QTRY_COMPARE(keyCodes(), (QStringList{"\"A1\"", "\"B1\"", "\"Z9\""}));
        QCOMPARE(wordsSince(mark), QList<quint16>{GetNvImageList});

        page()->deleteAllButton()->click();
        QTRY_COMPARE(keyCodes(), QStringList());
        QCOMPARE(page()->usageLabel()->text(),
                 QStringLiteral("0 Used, %1 Total").arg(emulator->state().nvMemorySize));
        QVERIFY(emulator->state().nvMemory.images().isEmpty());
    }
};

QTEST_MAIN(TestNvImagePage)
#include "tst_nvimagepage.moc"
