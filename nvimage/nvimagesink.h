#pragma once

#include "pages/tcprawprint.h"

#include <QByteArray>
#include <QString>

#include <functional>

// Where the NV image page and its dialog hand their ESC/POS bytes: always rawPrint, and a
// listener as well when one is set, so the bytes can be watched without a printer.
namespace NvImageSink {

using Listener = std::function<void(const QByteArray &)>;

// what names the bytes in the outcome told on the activity line; context and done as for
// rawPrint, to hear that outcome too.
void send(const QByteArray &bytes, const QString &what, QObject *context = nullptr,
          const RawPrintDone &done = RawPrintDone());
// An empty listener removes the current one.
void setListener(Listener listener);

} // namespace NvImageSink
