#include "app/conf.h"
#include "app/log.h"
#include "print/dialogfontsettings.h"
#include "print/styleditemdelegatecombobox.h"
#include "print/widgetprint.h"
#include "protocol/bytefields.h"
#include "protocol/filerecord.h"
#include "protocol/hostcmd.h"
#include "transport/transceiver.h"

#include <QAbstractItemDelegate>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

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

} // namespace

// The font settings dialog: its rows both ways, its editors, and its traffic.
class TestFontSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

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
        QCOMPARE(StyledItemDelegateComboBox::scriptNames().size(), 136);
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
};

QTEST_MAIN(TestFontSettings)
#include "tst_fontsettings.moc"
