#include "emulator/emulatorprotocol.h"
#include "emulator/nvmemory.h"
#include "emulator/printerstate.h"
#include "emulator/rasterspool.h"
#include "protocol/hostcmdword.h"
#include "protocol/nvimagelist.h"
#include "protocol/packetcodec.h"
#include "tests/testbytes.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

// The command bytes are written out here as the tool sends them, not built by the emulator.
namespace {

using Raster = NvMemory::Raster;

// A width x height raster with a black square of side dots at (x0, y0).
Raster square(int width, int height, int x0, int y0, int side)
{
    Raster r{width, height, QByteArray((width + 7) / 8 * height, '\0')};
    for (int y = y0; y < y0 + side; ++y)
        for (int x = x0; x < x0 + side; ++x)
            r.rows[y * r.bytesPerRow() + x / 8] = char(uchar(r.rows.at(y * r.bytesPerRow() + x / 8)) | 0x80 >> (x % 8));
    return r;
}

QByteArray define(char kc1, char kc2, const Raster &r)
{
    return QByteArray("\x1D\x28\x4C") + word(quint16(r.rows.size() + 11)) + QByteArray("\x30\x43\x30") + kc1 + kc2
           + '\x01' + word(quint16(r.width)) + word(quint16(r.height)) + '\x31' + r.rows;
}

QByteArray printStored(char kc1, char kc2, char x = 1, char y = 1)
{
    return QByteArray("\x1D\x28\x4C\x06\x00\x30\x45", 7) + kc1 + kc2 + x + y;
}

// The listing as the tool decodes it (its layout is pinned in tst_records): "Q7:6 R1:6".
QString listed(PrinterState &s)
{
    NvImageList l;
    if (!NvImageList::decode(s.answer(word(GetNvImageList)).payloads.value(0), &l))
        return QStringLiteral("no list");
    QStringList out;
    for (const NvImageList::Image &i : l.images)
        out << QString::fromLatin1(i.keyCode) + ':' + QString::number(i.size);
    return out.join(' ') + QStringLiteral(" of %1").arg(l.memorySize);
}

// What a test compares to see that nothing changed.
QList<QPair<QString, Raster>> contents(const NvMemory &m)
{
    QList<QPair<QString, Raster>> c;
    for (const NvMemory::Image &i : m.images())
        c << qMakePair(i.keyCode(), i.raster);
    return c;
}

bool isHello(const QVector<EmulatorProtocol::Event> &events)
{
    return !events.isEmpty() && events.last().kind == EmulatorProtocol::Event::Kind::Hello;
}

} // namespace

class TestNvMemory : public QObject
{
    Q_OBJECT

private slots:
    void defineReplaceDeleteThroughTheList()
    {
        PrinterState s;
        QCOMPARE(listed(s), QStringLiteral("A1:4608 A2:2304 B1:12288 of 262144")); // the samples
        s.nvMemory = NvMemory();
        const Raster small = square(9, 3, 0, 0, 3); // 9 dots wide: 2 bytes a row
        NvMemory::Result r = s.nvMemory.apply(define('Q', '7', small), s.nvMemorySize);
        QVERIFY(r.changed);
        QCOMPARE(r.stored.size(), 1);
        // The same key code again replaces, with the new size.
        const Raster big = square(16, 10, 2, 2, 4);
        s.nvMemory.apply(define('Q', '7', big) + define('R', '1', small), s.nvMemorySize);
        QCOMPARE(listed(s), QStringLiteral("Q7:20 R1:6 of 262144"));
        QCOMPARE(s.nvMemory.find('Q', '7')->raster, big);

        r = s.nvMemory.apply(QByteArray("\x1D\x28\x4C\x04\x00\x30\x42XX", 9), s.nvMemorySize);
        QVERIFY(!r.changed);
        QVERIFY(r.notes.value(0).contains("no NV image"));
        s.nvMemory.apply(QByteArray("\x1D\x28\x4C\x04\x00\x30\x42Q7", 9), s.nvMemorySize);
        QCOMPARE(listed(s), QStringLiteral("R1:6 of 262144"));
        QVERIFY(s.nvMemory.apply(QByteArray("\x1D\x28\x4C\x05\x00\x30\x41\x43\x4C\x52", 10), s.nvMemorySize).changed);
        QCOMPARE(s.nvMemory.used(), 0u);
    }

    void printsStoredAndRasterImages()
    {
        NvMemory m;
        const Raster r = square(12, 4, 1, 1, 2);
        const QByteArray rasterPrint = QByteArray("\x1D\x76\x30\x00\x02\x00\x04\x00", 8) + r.rows + "\n\n";
        const NvMemory::Result result
            = m.apply(define('L', 'g', r) + "text\n" + printStored('L', 'g') + printStored('L', 'g', 2, 2)
                          + printStored('n', 'o') + rasterPrint,
                      NvMemory::DefaultCapacity);
        QCOMPARE(result.printed.size(), 3);
        QCOMPARE(result.firstPrint, 1);
        QCOMPARE(result.printed.at(0), r);
        QCOMPARE(result.printed.at(2), Raster({16, 4, r.rows})); // whole bytes a row
        const Raster &doubled = result.printed.at(1);
        QCOMPARE(QSize(doubled.width, doubled.height), QSize(24, 8));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 24; ++x)
                QCOMPARE(doubled.dot(x, y), r.dot(x / 2, y / 2));
        QVERIFY(result.notes.join('\n').contains("no NV image \"no\" to print"));
        QCOMPARE(m.apply(printStored('L', 'g'), NvMemory::DefaultCapacity).firstPrint, 4);
    }

    void refusesWhatDoesNotFitOrIsMalformed()
    {
        NvMemory m;
        const quint32 capacity = 100;
        const Raster eighty{8, 80, QByteArray(80, '\x55')};
        QVERIFY(m.apply(define('A', '1', eighty), capacity).changed);
        // A replacement frees what it replaces.
        QVERIFY(m.apply(define('A', '1', {8, 90, QByteArray(90, '\x0F')}), capacity).changed);
        const auto kept = contents(m);
        const NvMemory::Result tooBig = m.apply(define('B', '1', {8, 20, QByteArray(20, 'x')}), capacity);
        QVERIFY(!tooBig.changed && tooBig.stored.isEmpty());
        QVERIFY(tooBig.notes.value(0).contains("do not fit"));

        QByteArray wrongLength = define('C', '1', eighty);
        wrongLength[3] = char(wrongLength[3] - 1);
        QByteArray twoColours = define('C', '2', {8, 1, "\x01"});
        twoColours[10] = 2;
        const QByteArray malformed[] = {
            wrongLength, twoColours, define('\x05', '1', {8, 1, "\x01"}), define('C', '3', {0, 0, {}}),
            QByteArray("\x1D\x28\x4C\x04\x00\x30\x41\x43\x4C", 9), // delete all without its R
            QByteArray("\x1D\x28\x4C\x03\x00\x30\x42\x41", 8),     // delete with one character
            QByteArray("\x1D\x28\x4C\x01\x00\x30", 6),
            printStored('A', '1', 3, 1),
        };
        for (const QByteArray &bytes : malformed) {
            const NvMemory::Result r = m.apply(bytes, NvMemory::DefaultCapacity);
            QVERIFY2(!r.changed && r.printed.isEmpty() && !r.notes.isEmpty(), bytes.toHex().constData());
        }
        // Cut short or with stated lengths past any stream: nothing either.
        const QByteArray whole = define('Z', 'z', square(40, 20, 5, 5, 10));
        for (int cut = 0; cut < whole.size(); ++cut)
            QVERIFY(!m.apply(whole.left(cut), NvMemory::DefaultCapacity).changed);
        for (const QByteArray &huge : {QByteArray("\x1D\x28\x4C\xFF\xFF\x30\x43\x30", 8),
                                       QByteArray("\x1D\x38\x4C\xFF\xFF\xFF\xFF\x30\x43", 9),
                                       QByteArray("\x1D\x76\x30\x00\xFF\xFF\xFF\xFF\x01", 9)}) {
            const NvMemory::Result r = m.apply(huge, NvMemory::DefaultCapacity);
            QVERIFY(!r.changed && r.printed.isEmpty());
        }
        QCOMPARE(contents(m), kept);
    }

    void defineSplitAcrossUsbReads()
    {
        PrinterState s;
        s.nvMemory = NvMemory();
        EmulatorProtocol usb(s);
        // Rows that start the second read with what looks like a packet header.
        Raster r{576, 100, QByteArray(72 * 100, '\x0F')};
        r.rows.replace(3000 - 2 - 16, 4, QByteArray("\x10\x01\x11\x03", 4));
        const QByteArray job = QByteArray("\x1B\x40") + define('U', '1', r) + printStored('U', '1');
        int from = 0;
        for (const int cut : {5, 9, 3000, 6000}) { // the first inside the define's header
            usb.feed(job.mid(from, cut - from));
            QVERIFY(s.nvMemory.images().isEmpty());
            from = cut;
        }
        QStringList notes;
        for (const EmulatorProtocol::Event &e : usb.feed(job.mid(from)))
            notes << e.notes;
        QCOMPARE(s.nvMemory.find('U', '1')->raster, r);
        // The print command after the define, in the same read, prints it.
        QVERIFY(notes.join('\n').contains("NV image \"U1\" printed"));

        // Packets still decode after it; a stated length past what is held is not waited
        // for, and a lone GS that turns out to be nothing lets the next packet through.
        const QByteArray hello = PacketCodec::encodePacket("\x01\x02\x03\x04", PacketCodec::builtInKey(), true);
        QVERIFY(isHello(usb.feed(hello)));
        usb.feed(QByteArray("\x1D\x38\x4C\xFF\xFF\xFF\x00\x30\x43", 9));
        QVERIFY(isHello(usb.feed(hello)));
        usb.feed("\x1D");
        QVERIFY(isHello(usb.feed(hello)));
    }

    void pngsShowTheDotsBlack()
    {
        QTemporaryDir dir;
        NvMemory m;
        const NvMemory::Result result
            = m.apply(define('/', 'b', square(37, 21, 10, 5, 9)) + printStored('/', 'b'), NvMemory::DefaultCapacity);
        const QStringList lines = RasterSpool(dir.path()).save(result);
        QCOMPARE(lines.size(), 2);
        for (const QString &name : {QStringLiteral("nv-_2Fb.png"), QStringLiteral("print-0001.png")}) {
            QVERIFY(lines.join('\n').contains(dir.filePath(name)));
            const QImage image(dir.filePath(name));
            QCOMPARE(image.size(), QSize(37, 21));
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const bool inSquare = x >= 10 && x < 19 && y >= 5 && y < 14;
                    QCOMPARE(image.pixel(x, y), inSquare ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
                }
        }
    }
};

QTEST_GUILESS_MAIN(TestNvMemory)
#include "tst_nvmemory.moc"
