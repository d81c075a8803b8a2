// The Windows side of UsbPort: the USB printer-class device interface, opened as a file for
// overlapped I/O. Every transfer has ended before read() or write() returns, so neither the
// OVERLAPPED record nor the caller's buffer is used afterwards.
#ifdef _WIN32

#include "transport/usbport.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <setupapi.h>

#include <algorithm>
#include <atomic>
#include <vector>

#ifdef _MSC_VER
#pragma comment(lib, "setupapi.lib")
#endif

namespace {

// GUID_DEVINTERFACE_USBPRINT, under a name of our own so as not to need usbprint.h.
const GUID UsbPrintInterface = {0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};

SRWLOCK s_rootLock = SRWLOCK_INIT;
std::string s_sysfsRoot = "/sys";

std::string toUtf8(const wchar_t *text)
{
    const int length = int(wcslen(text));
    if (length == 0)
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string result(std::size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, &result[0], size, nullptr, nullptr);
    return result;
}

// False, with GetLastError() set, for text that is not UTF-8.
bool toWide(const std::string &text, std::wstring *result)
{
    result->clear();
    if (text.empty())
        return true;
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), nullptr, 0);
    if (size <= 0)
        return false;
    result->resize(std::size_t(size));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), &(*result)[0], size) == size;
}

// Waits until the transfer on ov has ended and returns its outcome. A wake() can signal the
// read event before the transfer is over, so the record, not the event, says when it is.
bool finish(HANDLE file, OVERLAPPED *ov, DWORD *bytes)
{
    while (!HasOverlappedIoCompleted(ov))
        GetOverlappedResult(file, ov, bytes, TRUE);
    return GetOverlappedResult(file, ov, bytes, FALSE) != FALSE;
}

// Cancels the transfer and waits for it to end. True when it had completed anyway.
bool cancelAndFinish(HANDLE file, OVERLAPPED *ov, DWORD *bytes)
{
    // Fails with ERROR_NOT_FOUND when the transfer is already over; the wait covers both.
    CancelIoEx(file, ov);
    return finish(file, ov, bytes);
}

DWORD waitError(DWORD waited)
{
    return waited == WAIT_FAILED ? GetLastError() : waited;
}

} // namespace

struct UsbPort::Handles
{
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE writeEvent = nullptr;
    HANDLE readEvent = nullptr; // also signalled by wake()
    std::atomic<bool> woken{false};
    SRWLOCK lock = SRWLOCK_INIT; // wake() against open() and close()
};

void UsbPort::setSysfsRoot(const std::string &root)
{
    AcquireSRWLockExclusive(&s_rootLock);
    s_sysfsRoot = root;
    ReleaseSRWLockExclusive(&s_rootLock);
}

std::string UsbPort::sysfsRoot()
{
    AcquireSRWLockShared(&s_rootLock);
    std::string root = s_sysfsRoot;
    ReleaseSRWLockShared(&s_rootLock);
    return root;
}

bool UsbPort::enumerate(std::vector<Device> *devices, std::string *error)
{
    devices->clear();
    HDEVINFO info = SetupDiGetClassDevsW(&UsbPrintInterface, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (info == INVALID_HANDLE_VALUE) {
        *error = "SetupDiGetClassDevs failed.";
        return false;
    }
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA interfaceData = {};
        interfaceData.cbSize = sizeof interfaceData;
        if (!SetupDiEnumDeviceInterfaces(info, nullptr, &UsbPrintInterface, index, &interfaceData))
            break;
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailW(info, &interfaceData, nullptr, 0, &required, nullptr);
        if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
            continue;
        // DWORDs rather than bytes, for the alignment of the record's cbSize.
        std::vector<DWORD> buffer((required + sizeof(DWORD) - 1) / sizeof(DWORD) + 1, 0);
        auto *detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W *>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(info, &interfaceData, detail, required, nullptr, nullptr))
            continue;
        const std::string path = toUtf8(detail->DevicePath);
        devices->push_back({path, path});
    }
    SetupDiDestroyDeviceInfoList(info);
    return true;
}

UsbPort::UsbPort()
    : m_handles(new Handles)
{
}

UsbPort::~UsbPort()
{
    close();
    delete m_handles;
}

bool UsbPort::open(const std::string &path, unsigned long *error)
{
    if (isOpen()) {
        *error = ERROR_BUSY;
        return false;
    }
    std::wstring widePath;
    if (!toWide(path, &widePath)) {
        *error = GetLastError();
        return false;
    }
    if (widePath.size() > MaxPathLength) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    HANDLE file = CreateFileW(widePath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED | FILE_FLAG_NO_BUFFERING
                                  | FILE_FLAG_SEQUENTIAL_SCAN,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    HANDLE writeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE readEvent = writeEvent ? CreateEventW(nullptr, FALSE, FALSE, nullptr) : nullptr;
    if (!readEvent) {
        *error = GetLastError();
        if (writeEvent)
            CloseHandle(writeEvent);
        CloseHandle(file);
        return false;
    }
    AcquireSRWLockExclusive(&m_handles->lock);
    m_handles->file = file;
    m_handles->writeEvent = writeEvent;
    m_handles->readEvent = readEvent;
    m_handles->woken = false;
    ReleaseSRWLockExclusive(&m_handles->lock);
    return true;
}

bool UsbPort::isOpen() const
{
    return m_handles->file != INVALID_HANDLE_VALUE;
}

void UsbPort::close()
{
    AcquireSRWLockExclusive(&m_handles->lock);
    if (m_handles->file != INVALID_HANDLE_VALUE)
        CloseHandle(m_handles->file);
    if (m_handles->writeEvent)
        CloseHandle(m_handles->writeEvent);
    if (m_handles->readEvent)
        CloseHandle(m_handles->readEvent);
    m_handles->file = INVALID_HANDLE_VALUE;
    m_handles->writeEvent = nullptr;
    m_handles->readEvent = nullptr;
    ReleaseSRWLockExclusive(&m_handles->lock);
}

UsbPort::ReadResult UsbPort::read(void *buffer, std::size_t size, ReadStatus *status)
{
    *status = ReadStatus();
    if (!isOpen()) {
        status->error = ERROR_INVALID_HANDLE;
        return ReadResult::Failed;
    }
    if (size == 0) {
        status->error = ERROR_INVALID_PARAMETER;
        return ReadResult::Failed;
    }
    HANDLE file = m_handles->file;
    const DWORD chunk = DWORD(std::min<std::size_t>(size, MAXDWORD));
    for (;;) {
        if (m_handles->woken.exchange(false))
            return ReadResult::Woken;
        OVERLAPPED ov = {};
        ov.hEvent = m_handles->readEvent;
        ResetEvent(ov.hEvent);
        DWORD bytes = 0;
        // Only a read that cannot be started ends the reader (an unplugged device refuses
        // one); a failed wait or a failed transfer is reported and the next read started.
        if (!ReadFile(file, buffer, chunk, nullptr, &ov)) {
            const DWORD started = GetLastError();
            if (started != ERROR_IO_PENDING) {
                status->error = started;
                return ReadResult::Failed;
            }
            // ReadFile cleared the event, so a wake() from before it started is seen only in
            // the flag; one from after it also signals the event.
            for (;;) {
                if (m_handles->woken.exchange(false)) {
                    if (cancelAndFinish(file, &ov, &bytes) && bytes > 0) {
                        // The bytes came first: hand them over and let the next read() be woken.
                        m_handles->woken = true;
                        status->received = bytes;
                        return ReadResult::Data;
                    }
                    return ReadResult::Woken;
                }
                const DWORD waited = WaitForSingleObject(ov.hEvent, INFINITE);
                if (waited != WAIT_OBJECT_0) {
                    status->waitResult = waited;
                    status->error = GetLastError();
                    cancelAndFinish(file, &ov, &bytes);
                    return ReadResult::WaitFailed;
                }
                if (HasOverlappedIoCompleted(&ov))
                    break;
            }
        }
        if (!finish(file, &ov, &bytes)) {
            status->error = GetLastError();
            return ReadResult::TransferFailed;
        }
        // An empty completion is a zero-length packet, no data; read again.
        if (bytes > 0) {
            status->received = bytes;
            return ReadResult::Data;
        }
    }
}

void UsbPort::wake()
{
    AcquireSRWLockShared(&m_handles->lock);
    if (m_handles->readEvent) {
        // Flag first: the reader checks it after every wait.
        m_handles->woken = true;
        SetEvent(m_handles->readEvent);
    }
    ReleaseSRWLockShared(&m_handles->lock);
}

void UsbPort::pause(int milliseconds)
{
    // A wake() during the pause consumes the auto-reset event here, but its flag stays for
    // the next read().
    if (m_handles->readEvent && !m_handles->woken)
        WaitForSingleObject(m_handles->readEvent, DWORD(std::max(0, milliseconds)));
}

UsbPort::WriteResult UsbPort::write(const void *data, std::size_t size, int milliseconds, std::size_t *written,
                                    unsigned long *error)
{
    *written = 0;
    if (!isOpen()) {
        *error = ERROR_INVALID_HANDLE;
        return WriteResult::Failed;
    }
    HANDLE file = m_handles->file;
    const ULONGLONG deadline = GetTickCount64() + ULONGLONG(std::max(0, milliseconds));
    const auto *bytes = static_cast<const char *>(data);
    while (*written < size) {
        OVERLAPPED ov = {};
        ov.hEvent = m_handles->writeEvent;
        ResetEvent(ov.hEvent);
        const DWORD chunk = DWORD(std::min<std::size_t>(size - *written, MAXDWORD));
        DWORD done = 0;
        if (!WriteFile(file, bytes + *written, chunk, nullptr, &ov)) {
            const DWORD started = GetLastError();
            if (started != ERROR_IO_PENDING) {
                *error = started;
                return WriteResult::Failed;
            }
            const ULONGLONG now = GetTickCount64();
            const DWORD left = now < deadline ? DWORD(std::min<ULONGLONG>(deadline - now, INFINITE - 1)) : 0;
            const DWORD waited = WaitForSingleObject(ov.hEvent, left);
            if (waited == WAIT_TIMEOUT) {
                // Too late: the transfer is cancelled and over before the caller gets its
                // buffer back. One that completed meanwhile counts.
                if (!cancelAndFinish(file, &ov, &done)) {
                    const DWORD failed = GetLastError();
                    if (failed != ERROR_OPERATION_ABORTED) {
                        *error = failed;
                        return WriteResult::Failed;
                    }
                    *error = ERROR_TIMEOUT;
                    return WriteResult::TimedOut;
                }
            } else if (waited != WAIT_OBJECT_0) {
                *error = waitError(waited);
                cancelAndFinish(file, &ov, &done);
                return WriteResult::Failed;
            }
        }
        if (!finish(file, &ov, &done)) {
            *error = GetLastError();
            return WriteResult::Failed;
        }
        if (done == 0) {
            *error = ERROR_WRITE_FAULT;
            return WriteResult::Failed;
        }
        *written += done;
    }
    return WriteResult::Done;
}

#endif
