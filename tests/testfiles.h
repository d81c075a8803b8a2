#pragma once

#include "protocol/hostcmd.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

// Bytes that are not the same throughout, so a piece lost, doubled or shifted shows.
inline QByteArray patternBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

// A local file of patternBytes(size) in dir; its path, or empty when it cannot be written.
inline QString writeLocalFile(const QTemporaryDir &dir, const QString &name, int size)
{
    QFile f(dir.filePath(name));
    return f.open(QIODevice::WriteOnly) && f.write(patternBytes(size)) == size ? f.fileName() : QString();
}

// HostCmd's announcements and answers as the program's own receivers get them: queued to
// this thread, so that the USB reader thread does not race the checks.
struct HostCmdEvents
{
    HostCmdEvents()
    {
        QObject::connect(&g_hostCmd, &HostCmd::deviceFound, &context, [this] { ++found; }, Qt::QueuedConnection);
        QObject::connect(&g_hostCmd, &HostCmd::responseReceived, &context,
                         [this](const QByteArray &response) { responses << response; }, Qt::QueuedConnection);
    }

    QObject context;
    int found = 0;
    QList<QByteArray> responses;
};
