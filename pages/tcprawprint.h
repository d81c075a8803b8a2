#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <functional>

class QTcpSocket;

// One printout over a connection of its own to the printer's raw print port: connect,
// write, close 500 ms later. It deletes itself once its connection is gone, never cutting
// one short, and tells the outcome on the activity line ("Test page sent to
// 10.1.2.3:9100 (1 234 bytes)") and in finished().
class TcpRawPrint : public QObject
{
    Q_OBJECT

public:
    static constexpr int CloseDelayMs = 500;
    // A printer that does not take the connection in this time is not there (ms).
    static constexpr int ConnectTimeoutMs = 5000;

    // what names the printout in the outcome ("Test page"), already translated.
    TcpRawPrint(const QHostAddress &address, const QByteArray &data, const QString &what,
                QObject *parent = nullptr);
    ~TcpRawPrint() override;

    // Printouts whose connection is not gone yet.
    static int inFlight() { return s_inFlight; }

    // The outcome texts, also for printouts that take another road.
    static QString sentText(const QString &what, const QString &destination, qint64 bytes);
    static QString notSentText(const QString &what, const QString &destination, const QString &cause);
    // A failed connection in a technician's words: "refused the connection", ...
    static QString causeText(QAbstractSocket::SocketError error, const QString &systemText);

signals:
    // Once, as the connection is gone; outcome is the text told on the activity line.
    void finished(bool sent, const QString &outcome);

private:
    void onSocketStateChanged(QAbstractSocket::SocketState state);
    void onSocketError(QAbstractSocket::SocketError error);
    void timerEvent(QTimerEvent *event) override;
    QString destination() const;

    QHostAddress m_address;
    QByteArray m_data;
    QString m_what;
    QTcpSocket *m_socket;
    int m_closeTimer = 0;
    int m_connectTimer = 0;
    qint64 m_written = 0;
    QAbstractSocket::SocketError m_error = QAbstractSocket::UnknownSocketError;
    QString m_errorText;
    static int s_inFlight;
};

// Sends raw ESC/POS bytes over the current link: the USB link itself, or a new connection
// to the network printer's raw print port. what names the printout in the outcome told on
// the activity line. Without a link nothing is sent, and the line says so.
void rawPrint(const QByteArray &data, const QString &what);
// The same, and done(sent, outcome) with the outcome told, once the bytes went or failed on
// a link (at once on USB, when the connection is gone on the network) and while context
// lives: for pages that also confirm or warn. Without a link only the activity line tells.
using RawPrintDone = std::function<void(bool sent, const QString &outcome)>;
void rawPrint(const QByteArray &data, const QString &what, QObject *context, const RawPrintDone &done);
