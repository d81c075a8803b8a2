#include "pages/widgetserial.h"

#include "app/activity.h"
#include "app/displaytext.h"
#include "app/log.h"
#include "pages/dialogserialconnect.h"
#include "pages/tcprawprint.h"
#include "pages/testpage.h"
#include "protocol/hostcmd.h"
#include "protocol/serialsettingsrecord.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QFormLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSerialPort>
#include <QTimerEvent>

namespace {

QComboBox *numberBox(QWidget *parent, std::initializer_list<int> values)
{
    auto *box = new QComboBox(parent);
    for (const int value : values)
        box->addItem(QString::number(value), value);
    return box;
}

// Where the port is, as a technician knows it: /dev/ttyUSB0 rather than ttyUSB0.
QString location(const QString &name)
{
#ifdef Q_OS_UNIX
    if (!name.contains(QLatin1Char('/')))
        return QStringLiteral("/dev/") + name;
#endif
    return name;
}

} // namespace

WidgetSerial::WidgetSerial(QWidget *parent)
    : SettingsPage(parent)
    , m_baudRate(numberBox(this, {2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800,
                                  921600, 2000000}))
    , m_dataBits(numberBox(this, {7, 8}))
    , m_stopBits(numberBox(this, {1, 2}))
    , m_parity(new QComboBox(this))
    , m_testPage(new QPushButton(tr("Print Test Page..."), this))
{
    m_parity->addItem(tr("None"), int(SerialSettingsRecord::ParityNone));
    m_parity->addItem(tr("Odd"), int(SerialSettingsRecord::ParityOdd));
    m_parity->addItem(tr("Even"), int(SerialSettingsRecord::ParityEven));

    form()->addRow(tr("Baud Rate:"), m_baudRate);
    form()->addRow(tr("Data Bits:"), m_dataBits);
    form()->addRow(tr("Stop Bits:"), m_stopBits);
    form()->addRow(tr("Parity:"), m_parity);
    addButton(m_testPage);
    setFocusChain({m_baudRate, m_dataBits, m_stopBits, m_parity, m_testPage, saveButton()});

    connect(m_testPage, &QPushButton::clicked, this, &WidgetSerial::doPrintTestPage);
    for (QComboBox *box : {m_baudRate, m_dataBits, m_stopBits, m_parity})
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &SettingsPage::onSettingsChanged);
}

void WidgetSerial::fill(const SerialSettingsRecord &record)
{
    selectData(m_baudRate, record.baudRate);
    selectData(m_dataBits, record.dataBits);
    selectData(m_stopBits, record.stopBits);
    selectData(m_parity, record.parity);
    saveButton()->setEnabled(false);
}

SerialSettingsRecord WidgetSerial::settings() const
{
    SerialSettingsRecord record;
    record.baudRate = m_baudRate->currentData().toInt();
    record.dataBits = m_dataBits->currentData().toInt();
    record.stopBits = m_stopBits->currentData().toInt();
    record.parity = m_parity->currentData().toInt();
    return record;
}

void WidgetSerial::doSave()
{
    saveButton()->setEnabled(false);
    g_hostCmd.SetSerialSettings(settings());
}

QString WidgetSerial::openFailureText(const QString &port, QSerialPort::SerialPortError error,
                                      bool accessible, const QString &systemText)
{
    QString cause;
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        cause = tr("no such port");
        break;
    case QSerialPort::PermissionError:
        // Qt says the same for a port we may not open and one held (locked, busy) elsewhere.
        cause = accessible ? tr("in use by another program") : tr("permission denied");
        break;
    case QSerialPort::UnsupportedOperationError:
        cause = tr("the settings selected on this page are not supported");
        break;
    case QSerialPort::ResourceError:
        cause = tr("not answering (unplugged?)");
        break;
    default:
        cause = systemText;
        break;
    }
    return tr("Serial port %1 could not be opened: %2").arg(port, cause);
}

void WidgetSerial::doPrintTestPage()
{
    DialogSerialConnect dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;

    const SerialSettingsRecord s = settings();
    m_portLocation = location(dialog.portName());
    m_port = new QSerialPort(dialog.portName(), this);
    m_port->setBaudRate(s.baudRate, QSerialPort::AllDirections);
    m_port->setDataBits(s.dataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8);
    m_port->setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    m_port->setParity(s.parity == SerialSettingsRecord::ParityOdd    ? QSerialPort::OddParity
                      : s.parity == SerialSettingsRecord::ParityEven ? QSerialPort::EvenParity
                                                                     : QSerialPort::NoParity);
    LOG_LINE("Serial port created.");
    if (!m_port->open(QIODevice::WriteOnly)) {
#ifdef Q_OS_WIN
        const bool accessible = true; // a COM port says "access denied" while another program has it
#else
        const QFileInfo node(m_portLocation);
        const bool accessible = node.isReadable() && node.isWritable();
#endif
        const QString text = openFailureText(m_portLocation, m_port->error(), accessible, m_port->errorString());
        m_port->deleteLater();
        m_port = nullptr;
        Activity::report(text);
        QMessageBox::warning(this, tr("Error"), text, QMessageBox::Ok);
        return;
    }
    LOG_LINE("Serial port opened.");
    m_testPage->setEnabled(false);
    const TestPage::SerialFields fields{m_baudRate->currentText(), m_dataBits->currentText(),
                                        m_stopBits->currentText(), s.parity};
    m_testPageBytes = TestPage::serial(fields, QDateTime::currentDateTime(),
                                       g_hostCmd.isRx100());
    m_written = 0;
    connect(m_port, &QSerialPort::bytesWritten, this, [this](qint64 bytes) { m_written += bytes; });
    m_port->write(m_testPageBytes);
    m_closeTimer = startTimer(CloseDelayMs, Qt::CoarseTimer);
}

void WidgetSerial::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_closeTimer) {
        SettingsPage::timerEvent(event);
        return;
    }
    killTimer(m_closeTimer);
    m_closeTimer = 0;
    if (m_port) {
        m_port->flush();
        const QString what = tr("Serial test page");
        Activity::report(m_written >= m_testPageBytes.size()
                             ? TcpRawPrint::sentText(what, m_portLocation, m_testPageBytes.size())
                             : tr("%1 not sent whole: %2 took %3 of %4 bytes")
                                   .arg(what, m_portLocation, DisplayText::grouped(m_written),
                                        DisplayText::grouped(m_testPageBytes.size())));
        m_port->close();
        m_port->deleteLater();
        m_port = nullptr;
    }
    m_testPage->setEnabled(true);
}
