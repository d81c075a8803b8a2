#pragma once

#include <QString>

// The diagnostic log: one line per call, "[thread] message (file,line)\r\n", at most 1023 bytes.
// Safe to call from any thread; does nothing while the log is not open.
void logWrite(const char *sourceFile, int line, const char *format, ...)
    __attribute__((format(printf, 3, 4)));

// Starts a new, empty log (the program uses "log.txt" in the working directory).
// Returns false when the file cannot be created; logging is then a no-op.
bool logOpen(const QString &fileName = QStringLiteral("log.txt"));
void logClose();

#define LOG_LINE(...) logWrite(__FILE__, __LINE__, __VA_ARGS__)
