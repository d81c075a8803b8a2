#include "app/log.h"

#include <QFile>
#include <QThread>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

constexpr int LineBufferSize = 1024;

QFile s_logFile;
// A standard mutex rather than QMutex: thread checkers see through it.
std::mutex s_logMutex;
char s_lineBuffer[LineBufferSize];

// snprintf returns what it would have written; clamp the position to the buffer's last byte.
int advance(int position, int written)
{
    if (written < 0)
        return position;
    const int next = position + written;
    return next < LineBufferSize - 1 ? next : LineBufferSize - 1;
}

} // namespace

bool logOpen(const QString &fileName)
{
    std::lock_guard<std::mutex> lock(s_logMutex);
    if (s_logFile.isOpen())
        s_logFile.close();
    s_logFile.setFileName(fileName);
    return s_logFile.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void logClose()
{
    std::lock_guard<std::mutex> lock(s_logMutex);
    if (s_logFile.isOpen()) {
        s_logFile.flush();
        s_logFile.close();
    }
}

void logWrite(const char *sourceFile, int line, const char *format, ...)
{
    std::lock_guard<std::mutex> lock(s_logMutex);
    if (!s_logFile.isOpen())
        return;

    const char *base = sourceFile;
    for (const char *p = sourceFile; *p; ++p) {
        if (*p == '/' || *p == '\\')
            base = p + 1;
    }

    // Thread ids are pointer-sized on some platforms; the log shows their low 32 bits.
    const auto threadId = quint32(reinterpret_cast<quintptr>(QThread::currentThreadId()));
    int pos = advance(0, std::snprintf(s_lineBuffer, LineBufferSize, "[%8x] ", threadId));

    va_list args;
    va_start(args, format);
    pos = advance(pos, std::vsnprintf(s_lineBuffer + pos, size_t(LineBufferSize - pos), format, args));
    va_end(args);

    std::snprintf(s_lineBuffer + pos, size_t(LineBufferSize - pos), " (%s,%d)\r\n", base, line);
    s_lineBuffer[LineBufferSize - 1] = '\0';

    s_logFile.write(s_lineBuffer, qint64(std::strlen(s_lineBuffer)));
    s_logFile.flush();
}
