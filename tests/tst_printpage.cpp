#include "tests/windowfixture.h"

#include "emulator/rawprintserver.h"
#include "print/dialogdualcolorsettings.h"
#include "print/widgetprint.h"
#include "protocol/fineprintmoderecord.h"
#include "protocol/printsettingsrecord.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QSlider>
#include <QSpinBox>

// The Print Settings tab against the emulator: rules, sliders, the record both ways, printouts.
class TestPrintPage : public WindowFixture
{
    Q_OBJECT

    WidgetPrint *page() const { return window->printPage(); }

    // What the last Save put on the wire, or the last answer, for the print settings.
    QByteArray lastSent() const { return g_hostCmd.lastKnown().record(LastKnownRecords::PrintSettings); }

private slots:
    void initTestCase()
    {
        setUpWindow();
        QVERIFY(connectTo("127.0.0.44", "RX210", "RX220_S"));
    }
    void cleanupTestCase() { tearDownWindow(); }

    // The opt-in buttons, then the character set rules, each driven by a filled record.
    void enablingRules()
    {
        QVERIFY(page()->fontButton()->isHidden() && page()->dualColorButton()->isHidden());
        QVERIFY(!page()->clearPasswordButton()->isHidden());
        PrintSettingsRecord r;
        r.utf8Mode = 1;
        page()->setSettings(r);
        QVERIFY(!page()->cjkBox()->isEnabled());
        r.utf8Mode = 0;
        r.cjk = 128; // Disable CJK Mode
        page()->setSettings(r);
        QVERIFY(page()->cjkBox()->isEnabled() && page()->codePageBox()->isEnabled());
        r.cjk = 0;
        page()->setSettings(r);
        QVERIFY(!page()->codePageBox()->isEnabled());
    }

    void slidersSnap()
    {
        QVERIFY(WidgetPrint::snapDensity(92) == 85 && WidgetPrint::snapDensity(93) == 100);
        QVERIFY(WidgetPrint::snapQuality(55) == 50 && WidgetPrint::snapQuality(56) == 60);
        page()->densitySlider()->setValue(92);
        QVERIFY(page()->densitySpinBox()->value() == 85 && page()->densitySlider()->value() == 85);
        // A typed value the slider already stands for is kept, and sent, as typed.
        page()->densitySlider()->setValue(70);
        page()->densitySpinBox()->setValue(77);
        QCOMPARE(page()->densitySlider()->value(), 70);
        page()->qualitySlider()->setValue(0);
        page()->qualitySpinBox()->stepUp();
        QCOMPARE(page()->qualitySlider()->value(), 0);
        QVERIFY(page()->settings().density == 77 && page()->settings().quality == 5);
    }

    // The page shows what the printer has: its record is the one received.
    void answerFillsThePage()
    {
        QByteArray a = answer(GetPrintSettings, 46);
        ByteFields::putU8(a, 6, 100);
        ByteFields::putU8(a, 7, 255);
        ByteFields::putU32(a, 8, 113);
        ByteFields::putI32(a, 20, 123);
        ByteFields::putI32(a, 24, -15);
        ByteFields::putU32(a, 40, 1600);
        ByteFields::putU8(a, 44, 1);
        ByteFields::putU8(a, 45, 2);
        window->handleResponse(a);
        const PrintSettingsRecord shown = page()->settings();
        PrintSettingsRecord received;
        QVERIFY(PrintSettingsRecord::decode(lastSent(), &received));
        QCOMPARE(shown.toBytes(), received.toBytes());
        QVERIFY(page()->blackMarkTestButton()->isEnabled());
        QVERIFY(page()->feedBox()->isChecked() && !page()->feedBox()->isEnabled());
        QVERIFY(page()->feedLengthBox()->isEnabled()); // the Feed box's rule comes last
        QVERIFY(!page()->saveButton()->isEnabled());

        // No feed: unchecked, the length kept; an unknown paper type shows Receipt.
        ByteFields::putU32(a, 8, 7);
        ByteFields::putU32(a, 40, 0);
        window->handleResponse(a);
        QVERIFY(!page()->settings().feedEnabled && page()->settings().feedMm == 200);
        QCOMPARE(page()->settings().paperType, PrintSettingsRecord::PaperReceipt);
        QVERIFY(!page()->blackMarkTestButton()->isEnabled() && !page()->cutPositionBox()->isEnabled());
        // Short answers: the dispatcher's sizes, in tst_records and tst_mainwindow.
        window->handleResponse(answer(GetFinePrintMode, 3).replace(2, 1, "\x01"));
        QVERIFY(page()->finePrintMode().enabled);
    }

    // Save sends what changed, and the printer keeps it.
    void saveSendsTheRecord()
    {
        QVERIFY(connectTo("127.0.0.45", "RX210", "RX220_S"));
        const int from = requests->count();
        page()->saveButton()->setEnabled(true);
        page()->saveButton()->click();
        QVERIFY(!page()->saveButton()->isEnabled());
        QVERIFY(quietAt(from)); // unchanged: nothing sent

        PrintSettingsRecord r = page()->settings();
        r.paperType = PrintSettingsRecord::PaperBlackMark;
        r.printPositionMm = 0; // below its minimum: the page holds 10 mm
        page()->setSettings(r);
        page()->cutPositionBox()->setValue(-0.55);
        page()->setFinePrintMode(true);
        QVERIFY(page()->saveButton()->isEnabled());
        page()->saveButton()->click();
        QTRY_COMPARE(wordsSince(from), (QList<quint16>{SetPrintSettings, SetFinePrintMode}));
        const QByteArray sent = lastSent();
        QCOMPARE(ByteFields::i32(sent, 24), -5); // toward zero
        QCOMPARE(ByteFields::i32(sent, 20), 100);
        QCOMPARE(emulator->state().finePrintMode, quint8(2));
        QTRY_COMPARE(emulator->state().printSettings.paperType, 113u);
    }

    void clearWebPasswordAsksFirst()
    {
        const int from = requests->count();
        for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
            bool asked = false;
            answerMessageBox(answer, &asked);
            page()->clearPasswordButton()->click();
            QVERIFY(asked);
        }
        QTRY_COMPARE(wordsSince(from), QList<quint16>{ClearWebPassword});
    }

    void modelDecidesPaperControlsAndFeed()
    {
        QVERIFY(connectTo("127.0.0.46", "RX100", "RX110"));
        for (const QGroupBox *group : {page()->paperLayoutGroup(), page()->coverGroup(), page()->paperNotTakenGroup()})
            QVERIFY(!group->isEnabled());
        QVERIFY(page()->buildTestPage().endsWith(QByteArray::fromHex("1d284503000603ff") + "\n\n\n\n"));
        QVERIFY(connectTo("127.0.0.47", "RX200", "RX230"));
        QVERIFY(page()->paperLayoutGroup()->isEnabled());
        QVERIFY(page()->buildTestPage().endsWith(QByteArray::fromHex("1d284503000603ff") + QByteArray(8, '\n')));
    }

    void dualColorSettings()
    {
        QCOMPARE(DialogDualColorSettings::commandBytes(false, 1800, 192),
                 QByteArray::fromHex("1d284502000b00" "1d284503000c0000" "1d284503000d0000"));
        QCOMPARE(DialogDualColorSettings::commandBytes(true, 1800, 192),
                 QByteArray::fromHex("1d284502000b01" "1d284503000c0807" "1d284503000dc000"));

        QVERIFY(connectTo("127.0.0.48", "RX210", "RX220_S"));
        RawPrintServer printer;
        QVERIFY(printer.listen(QHostAddress(QStringLiteral("127.0.0.48"))));
        QSignalSpy jobs(&printer, &RawPrintServer::jobReceived);
        DialogDualColorSettings *dialog = page()->dualColorDialog();
        const auto open = [&](const std::function<void()> &inside) {
            QTimer::singleShot(0, [&] {
                if (QApplication::activeModalWidget() == dialog)
                    inside();
            });
            page()->doDualColorSettings();
        };
        // Closed without Apply: nothing sent, the edits kept for the next opening.
        open([&] {
            dialog->energySpinBox()->setValue(777);
            QCOMPARE(dialog->energySlider()->value(), 777); // no rounding to the slider's step
            dialog->modeBox()->setChecked(true);
            dialog->reject();
        });
        open([&] {
            QCOMPARE(dialog->energySpinBox()->value(), 777);
            dialog->ratioSlider()->setValue(300);
            dialog->doApply();
        });
        QTRY_COMPARE(jobs.count(), 1);
        QCOMPARE(jobs.at(0).at(0).toByteArray(), DialogDualColorSettings::commandBytes(true, 777, 300));
    }
};

QTEST_MAIN(TestPrintPage)
#include "tst_printpage.moc"
