#include "protocol/hostcmddevinfo.h"

#include <algorithm>
#include <cstring>

host_cmd_dev_info_t host_cmd_dev_info_t::fromBytes(const char *data, int size)
{
    host_cmd_dev_info_t info;
    std::memset(&info, 0, sizeof info);
    std::memcpy(&info, data, size_t(std::clamp(size, 0, int(sizeof info))));
    return info;
}

QByteArray host_cmd_dev_info_t::toBytes() const
{
    return QByteArray(reinterpret_cast<const char *>(this), sizeof *this);
}

QByteArray fieldText(const char *field, int size)
{
    const void *zero = std::memchr(field, 0, size_t(size));
    return QByteArray(field, zero ? int(static_cast<const char *>(zero) - field) : size);
}

QString host_cmd_dev_info_t::projectText() const
{
    return QString::fromLatin1(fieldText(project, sizeof project));
}

QString host_cmd_dev_info_t::modelText() const
{
    return QString::fromLatin1(fieldText(model, sizeof model));
}

QString host_cmd_dev_info_t::snText() const
{
    return QString::fromLatin1(fieldText(sn, sizeof sn));
}
