#pragma once

#include <QtGlobal>

// Command words: low byte the command code, high byte the variant (0 for the nine queries,
// 1 for everything else).
enum HostCmdWord : quint16 {
    GetDeviceInfo = 0x0001,
    GetNetworkInfo = 0x0002,
    GetPrintSettings = 0x0003,
    GetWnetInfo = 0x0004,
    GetSerialSettings = 0x0005,
    GetAudioSettings = 0x0006,
    GetStaticIp = 0x0007,
    GetFinePrintMode = 0x0008,
    GetNvImageList = 0x0009,
    SetLanStaticIp = 0x0101,
    SetWifiStaticIp = 0x0102,
    SetAudioSettings = 0x0103,
    SetWifiNetwork = 0x0111,
    ClearWifiNetwork = 0x0112,
    SetPrintSettings = 0x0121,
    SetFinePrintMode = 0x0122,
    SetWnetApn = 0x0131,
    RestartWnetModule = 0x0132,
    SetSerialSettings = 0x0141,
    GetFontScripts = 0x0151,
    BeginFontScripts = 0x0152,
    SetFontScript = 0x0153,
    EndFontScripts = 0x0154,
    ResetFontScripts = 0x0155,
    ListFiles = 0x0161,
    BeginFileUpload = 0x0162,
    CommitFileUpload = 0x0163,
    DeleteFile = 0x0164,
    ClearWebPassword = 0x0165,
};

// Every payload starts with its word, little-endian; the record follows.
constexpr int HostCmdWordSize = 2;

// The shortest answer to a query word that the tool reads; 0 for other words.
int queryAnswerMinSize(quint16 word);
