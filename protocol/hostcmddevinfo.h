#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

#include <cstddef>

// The printer's device record: its answer to the handshake and the body of a discovery answer.
// Three NUL-terminated single-byte texts.
struct host_cmd_dev_info_t
{
    char project[16];
    char model[16];
    char sn[24];

    static constexpr int ProjectOffset = 0;
    static constexpr int ModelOffset = 16;
    static constexpr int SnOffset = 32;

    // From 56 bytes exactly as received; shorter input is zero-filled.
    static host_cmd_dev_info_t fromBytes(const char *data, int size);
    QByteArray toBytes() const;

    QString projectText() const;
    QString modelText() const;
    QString snText() const;
};
static_assert(sizeof(host_cmd_dev_info_t) == 56, "the device record is 56 bytes on the wire");
static_assert(offsetof(host_cmd_dev_info_t, model) == host_cmd_dev_info_t::ModelOffset
                  && offsetof(host_cmd_dev_info_t, sn) == host_cmd_dev_info_t::SnOffset,
              "the fields sit where the printer puts them");

Q_DECLARE_METATYPE(host_cmd_dev_info_t)

// Reads a fixed-size text field up to its first zero byte, never past the field.
QByteArray fieldText(const char *field, int size);
