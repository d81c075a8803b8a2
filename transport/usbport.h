#pragma once

// The operating system's side of a USB printer-class device: find the attached ones, open
// one, write with a time limit, read on a thread of one's own that another thread can wake,
// close. Free of Qt so that the Windows side compiles anywhere a cross compiler does.
// Paths are UTF-8.

#include <cstddef>
#include <string>
#include <vector>

class UsbPort
{
public:
    // Longest device path accepted, in UTF-16 units, as the Windows path buffer holds.
    static constexpr std::size_t MaxPathLength = 255;

    struct Device
    {
        std::string path; // what open() takes
        // The text the configured identifier tags are looked for in, for example
        // "usb#vid_3273&pid_0002" inside a Windows device path. On Windows it is the path.
        std::string ids;
    };

    // The attached printer-class devices, in the system's order. False when the system's
    // list cannot be had; *error then says why (for the log).
    static bool enumerate(std::vector<Device> *devices, std::string *error);
    // Where enumerate() looks: on Linux the sysfs root ("/sys" unless set), so that tests
    // can stand up a fake tree. Ignored elsewhere.
    static void setSysfsRoot(const std::string &root);
    static std::string sysfsRoot();

    enum class ReadResult {
        Data,           // status.received bytes arrived
        Woken,          // wake() was called
        WaitFailed,     // the wait for a read failed (status.waitResult, status.error); read again
        TransferFailed, // a read ended in error (status.error), the device is still there; read again
        Failed          // the device went away or no read can be started (status.error)
    };
    enum class WriteResult { Done, Failed, TimedOut };

    struct ReadStatus
    {
        std::size_t received = 0;
        unsigned long error = 0;      // the system's error code
        unsigned long waitResult = 0; // what a failed wait returned
    };

    UsbPort();
    ~UsbPort();
    UsbPort(const UsbPort &) = delete;
    UsbPort &operator=(const UsbPort &) = delete;

    // False, with the system's error code, when the device cannot be opened or the path is
    // longer than MaxPathLength (never opened cut short).
    bool open(const std::string &path, unsigned long *error);
    bool isOpen() const;
    // Closes the device, on Linux after giving a transfer still under way up to two seconds
    // to end. The reader must have returned from read() and not call it again.
    void close();

    // Blocks until bytes arrive, wake() is called, or a read fails. Empty transfers (a
    // printer's zero-length packets) are read past. Called by the reader thread only.
    ReadResult read(void *buffer, std::size_t size, ReadStatus *status);
    // Makes a blocked or the next read() return Woken. Callable from any thread.
    void wake();
    // Waits for milliseconds, or less when wake() is called, which the next read() then
    // still sees. For the reader's pause after a failed read.
    void pause(int milliseconds);

    // Writes all bytes or fails; Done only once the device has taken the last transfer, not
    // when it was merely queued. A write not done within milliseconds is cancelled, or (on
    // Linux, where the driver holds a copy) left to finish, before this returns, so nothing
    // is left writing from the caller's buffer; *written counts the bytes surely sent.
    WriteResult write(const void *data, std::size_t size, int milliseconds, std::size_t *written,
                      unsigned long *error);

private:
    struct Handles;
    Handles *m_handles;
};
