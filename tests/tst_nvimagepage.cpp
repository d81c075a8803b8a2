#include "tests/windowfixture.h"

#include "emulator/rawprintserver.h"
#include "nvimage/dialogdownloadnvimage.h"
#include "nvimage/widgetnvimage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTableWidget>

// The NV image page against the emulator: what it downloads and deletes is what the
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

    void downloadDeleteDeleteAll()
    {
        QVERIFY(connectTo("127.0.0.70", "RX210", "RX220_S"));
        RawPrintServer rawPort;
        QVERIFY(rawPort.listen(QHostAddress(QStringLiteral("127.0.0.70"))));
        rawPort.setPrinterState(&emulator->state());
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
        page()->doDownload();
        QTRY_VERIFY_WITH_TIMEOUT(keyCodes().contains(QStringLiteral("\"Z9\"")), 5000);
        QCOMPARE(wordsSince(mark), QList<quint16>{GetNvImageList});
        const int row = keyCodes().indexOf(QStringLiteral("\"Z9\""));
        QCOMPARE(page()->table()->item(row, 1)->text(), QStringLiteral("520")); // 13 bytes x 40 rows
        // Its dots: the dialog's bits are pinned in tst_nvimage, the printer's reading of
        // them in tst_nvmemory.
        const NvMemory::Image *stored = emulator->state().nvMemory.find('Z', '9');
        QVERIFY(stored && stored->raster.width == 100 && stored->raster.dot(20, 8) && !stored->raster.dot(19, 8));

        selectKeyCode(QStringLiteral("\"A2\""));
        mark = requests->count();
        page()->deleteButton()->click();
        QTRY_COMPARE(keyCodes(), (QStringList{"\"A1\"", "\"B1\"", "\"Z9\""}));
        QCOMPARE(wordsSince(mark), QList<quint16>{GetNvImageList});

        page()->doDeleteAll();
        QTRY_COMPARE(keyCodes(), QStringList());
        QCOMPARE(page()->usageLabel()->text(),
                 QStringLiteral("0 Used, %1 Total").arg(emulator->state().nvMemorySize));
        QVERIFY(emulator->state().nvMemory.images().isEmpty());
    }
};

QTEST_MAIN(TestNvImagePage)
#include "tst_nvimagepage.moc"
