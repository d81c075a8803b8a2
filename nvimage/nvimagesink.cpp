#include "nvimage/nvimagesink.h"

#include "pages/tcprawprint.h"

namespace NvImageSink {

namespace {
Listener &listener()
{
    static Listener current;
    return current;
}
} // namespace

void send(const QByteArray &bytes, const QString &what, QObject *context, const RawPrintDone &done)
{
    if (listener())
        listener()(bytes);
    rawPrint(bytes, what, context, done);
}

void setListener(Listener l)
{
    listener() = std::move(l);
}

} // namespace NvImageSink
