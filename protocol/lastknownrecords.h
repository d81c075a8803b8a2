#pragma once

#include <QByteArray>

// What the printer is believed to hold for each settings command, in request form: filled
// from the query answers, replaced by every record sent, so that a Save with nothing new
// sends nothing. They start all zero and outlive a closed link; the Reload after the next
// connection refills them.
class LastKnownRecords
{
public:
    enum Record {
        LanStaticIp,
        WifiStaticIp,
        AudioSettings,
        PrintSettings,
        FinePrintMode,
        WnetApn,
        SerialSettings,
        RecordCount
    };

    LastKnownRecords();
    // All zero again, as nothing is known of a printer not yet read.
    void clear();

    static int size(Record record);
    const QByteArray &record(Record record) const { return m_records[record]; }

    // The change test: true, and the candidate kept as the printer's new state, when it
    // differs from the last known record; false when sending it would change nothing.
    bool takeIfChanged(Record record, const QByteArray &candidate);

    // Refreshes the records a query answer carries. False when it carries none (another
    // word) or is shorter than its word's minimum, and then nothing changes.
    bool takeResponse(const QByteArray &response);

private:
    // Puts word at 0 and response[from, from + length) at offset to of a record.
    void copy(Record record, quint16 word, const QByteArray &response, int from, int to, int length);

    QByteArray m_records[RecordCount];
};
