#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Where the NV image page and its dialog hand their ESC/POS bytes: always rawPrint, and a
// listener as well when one is set, so the bytes can be watched without a printer.
namespace NvImageSink {

using Listener = std::function<void(const QByteArray &)>;

// what names the bytes in the outcome told on the activity line (see rawPrint).
void send(const QByteArray &bytes, const QString &what);
// An empty listener removes the current one.
void setListener(Listener listener);

} // namespace NvImageSink
