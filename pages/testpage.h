#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// The ESC/POS bytes of the test pages, built from their inputs alone so that every page can
// be checked byte for byte.
namespace TestPage {

QByteArray PagePrologue();
QByteArray PageEpilogue();
QByteArray TitleStyle();
QByteArray BodyStyle();

struct NetworkFields
{
    QString mac, dhcpAddress, dhcpNetmask, staticAddress, staticNetmask;
};
struct SerialFields
{
    QString baudRate, dataBits, stopBits;
    int parity; // 0 none, 1 odd, 2 even
};

// One body line: a translated label, the value bytes and what ends the line.
struct Line
{
    QString label;
    QByteArray value;
    QByteArray end = "\n";
};

// The frame every test page shares: prologue, centred double-height title, the body, the
// "*** END ***" line, epilogue and the paper feed (longer unless the printer is an RX100).
QByteArray page(const QString &title, const QByteArray &afterTitle, const QVector<Line> &lines,
                const QByteArray &separator, const QString &end, bool rx100);

QByteArray ethernet(const NetworkFields &f, const QDateTime &now, bool rx100, bool english);
QByteArray wifi(const NetworkFields &f, const QString &ssid, const QDateTime &now, bool rx100);
QByteArray serial(const SerialFields &f, const QDateTime &now, bool rx100);
// The print settings page's test page: the three character set boxes' texts as shown.
QByteArray printSettings(const QString &utf8Mode, const QString &cjk, const QString &codePage,
                         const QDateTime &now, bool rx100);
// A page between two black marks: feed to the mark, the sample text in eleven scripts,
// feed to the cutter and cut.
QByteArray blackMark(const QDateTime &now);
QByteArray BlackMarkFeedToPrintStart();
QByteArray BlackMarkFeedToCut();

} // namespace TestPage
