#include "emulator/printerfleet.h"

#include "emulator/emulatorsession.h"
#include "emulator/printeremulator.h"
#include "emulator/rawprintserver.h"

#include <QDir>
#include <QRegularExpression>

QString PrinterFleet::serialNumber(const QString &first, int index)
{
    if (index == 0)
        return first;
    const QRegularExpressionMatch digits = QRegularExpression(QStringLiteral("[0-9]+$")).match(first);
    if (!digits.hasMatch())
        return QStringLiteral("%1-%2").arg(first).arg(index + 1);
    // Only the last 18 digits are counted, as many as fit a 64-bit number; a run of nines
    // grows by one digit.
    constexpr int Counted = 18;
    const int start = qMax(digits.capturedStart(), first.size() - Counted);
    const QString number = first.mid(start);
    const qulonglong next = number.toULongLong() + qulonglong(index);
    return first.left(start) + QStringLiteral("%1").arg(next, number.size(), 10, QLatin1Char('0'));
}

QList<QHostAddress> PrinterFleet::addresses(const QHostAddress &first, int count, QString *error)
{
    bool ipv4 = false;
    const quint32 base = first.toIPv4Address(&ipv4);
    if (!ipv4 || first.protocol() != QAbstractSocket::IPv4Protocol || base == 0) {
        *error = QStringLiteral("several printers want one IPv4 address to start from, not %1")
                     .arg(first.toString());
        return {};
    }
    if ((base & 0xff) + quint32(count) - 1 > 254) {
        *error = QStringLiteral("%1 printers from %2 would pass %3")
                     .arg(count)
                     .arg(first.toString(), QHostAddress((base & ~0xffu) | 254).toString());
        return {};
    }
    QList<QHostAddress> list;
    for (int i = 0; i < count; ++i)
        list.append(QHostAddress(base + quint32(i)));
    return list;
}

PrinterFleet::PrinterFleet(const EmulatorOptions &options, int count, QObject *parent)
    : QObject(parent)
{
    QString ignored;
    const QList<QHostAddress> all = count == 1 ? QList<QHostAddress>{options.listen}
                                               : addresses(options.listen, count, &ignored);
    for (int i = 0; i < all.size(); ++i) {
        EmulatorOptions own = options;
        own.listen = all.at(i);
        own.printer.serialNumber = serialNumber(options.printer.serialNumber, i);
        const QString name = all.at(i).toString();
        // Printers of one fleet number their jobs alike, and one's fonts are not another's.
        if (count > 1 && !own.spoolDir.isEmpty())
            own.spoolDir = QDir(own.spoolDir).filePath(name);
        const QString fonts = options.printer.fontFolder.directory();
        if (count > 1 && !fonts.isEmpty()) {
            QDir(fonts).mkpath(name);
            own.printer.fontFolder = FontFolder(QDir(fonts).filePath(name));
        }
        Member member{new PrinterEmulator(own, this), new RawPrintServer(this), count > 1 ? name : QString()};
        member.rawPrint->setSpoolDir(own.spoolDir);
        member.rawPrint->setPrinterState(&member.emulator->state());
        const QString tag = member.tag;
        const auto log = [this, tag](const QString &line) { emit logLine(tagged(tag, line)); };
        connect(member.emulator, &PrinterEmulator::logLine, this, log);
        connect(member.rawPrint, &RawPrintServer::logLine, this, log);
        m_printers.append(member);
    }
}

PrinterFleet::~PrinterFleet()
{
    // The raw ports point at the printers' states: they go first.
    for (const Member &m : qAsConst(m_printers))
        delete m.rawPrint;
}

bool PrinterFleet::start()
{
    for (const Member &m : qAsConst(m_printers)) {
        if (!m.emulator->listen()) {
            m_error = QStringLiteral("cannot listen on %1: %2")
                          .arg(EmulatorSession::endpoint(m.emulator->options().listen, m.emulator->options().port),
                               m.emulator->errorString());
            return false;
        }
    }
    for (const Member &m : qAsConst(m_printers)) {
        if (!m.rawPrint->start(m.emulator->options()))
            emit logLine(tagged(m.tag, QStringLiteral("raw print port: cannot listen: %1").arg(m.rawPrint->errorString())));
    }
    return true;
}

QString PrinterFleet::tagged(const QString &tag, const QString &line)
{
    return tag.isEmpty() ? line : QStringLiteral("%1: %2").arg(tag, line);
}

QStringList PrinterFleet::roster() const
{
    QStringList lines;
    for (const Member &m : m_printers) {
        const PrinterState &s = m.emulator->state();
        lines << QStringLiteral("printer: project %1, model %2, sn %3 at %4")
                     .arg(s.project, s.model, s.serialNumber, m.emulator->serverAddress().toString());
    }
    return lines;
}
