#pragma once

#include <QByteArray>

#include <functional>

// Where the NV image page and its dialog hand their ESC/POS bytes: always rawPrint, and a
// listener as well when one is set, so the bytes can be watched without a printer.
namespace NvImageSink {

using Listener = std::function<void(const QByteArray &)>;

void send(const QByteArray &bytes);
// An empty listener removes the current one.
void setListener(Listener listener);

} // namespace NvImageSink
