#include "protocol/hostcmd.h"

#include "app/log.h"
#include "transport/transceiver.h"

#include <QDateTime>

HostCmd g_hostCmd;

using namespace PacketCodec;

HostCmd::HostCmd(QObject *parent)
    : QObject(parent)
{
}

bool HostCmd::writePacket(const uchar *payload, int length, bool useSessionKey)
{
    uchar packet[MaxPacket];
    const int size = encodePacket(payload, length, useSessionKey ? m_sessionKey : builtInKey(),
                                  !useSessionKey, packet);
    if (size == 0 || !g_transceiver)
        return false;
    return g_transceiver->write(reinterpret_cast<const char *>(packet), size, WriteTimeoutMs);
}

void HostCmd::sendCommand(const uchar *payload, int length, bool useSessionKey)
{
    writePacket(payload, length, useSessionKey);
}

bool HostCmd::sendHello(bool fixedNonce)
{
    m_nonce = fixedNonce ? 1u : quint32(QDateTime::currentSecsSinceEpoch());
    const uchar payload[NonceSize] = {uchar(m_nonce), uchar(m_nonce >> 8), uchar(m_nonce >> 16),
                                      uchar(m_nonce >> 24)};
    // Padding a 4-byte payload gives the twelve 0x0C bytes the handshake block carries.
    return writePacket(payload, NonceSize, false);
}

bool HostCmd::query(quint16 word)
{
    const uchar payload[2] = {uchar(word), uchar(word >> 8)};
    return writePacket(payload, sizeof payload, true);
}

quint32 HostCmd::receive(const uchar *data, quint32 length)
{
    const PacketReceiver::Result result = m_receiver.receive(data, length, m_sessionKey);
    switch (result.event) {
    case PacketReceiver::Event::None:
        break;
    case PacketReceiver::Event::Handshake: {
        if (result.length != DeviceRecordSize)
            return 0;
        const auto info = host_cmd_dev_info_t::fromBytes(
            reinterpret_cast<const char *>(m_receiver.payload()), DeviceRecordSize);
        LOG_LINE("project: %s", fieldText(info.project, sizeof info.project).constData());
        LOG_LINE("  model: %s", fieldText(info.model, sizeof info.model).constData());
        LOG_LINE("     sn: %s", fieldText(info.sn, sizeof info.sn).constData());
        m_sessionKey = deriveSessionKey(m_nonce, info.sn, sizeof info.sn);
        emit deviceFound(info);
        break;
    }
    case PacketReceiver::Event::Packet:
        emit responseReceived(
            QByteArray(reinterpret_cast<const char *>(m_receiver.payload()), result.length));
        break;
    }
    return result.consumed;
}
