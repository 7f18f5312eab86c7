// The tables of the resident protection modules, one class each: e-mail,
// file system, peer-to-peer, instant messaging, web, network, script and
// anti-spam. Every entry of one table shares its file and section; the
// script module's only setting lives in the file system module's file.
#include <iterator>

#include "catalogue/property_id.h"

namespace orx::catalogue {

// clang-format off
constexpr PropertyEntry kEmailTable[] = {
    // file             section          key                                         default
    {u"EmailTarve.ini", u"EmailScanner", u"ScanInbound",                             u"1"},                   // 0x40000
    {u"EmailTarve.ini", u"EmailScanner", u"ScanOutbound",                            u"1"},                   // 0x40001
    {u"EmailTarve.ini", u"EmailScanner", u"ScanNews",                                u"1"},                   // 0x40002
    {u"EmailTarve.ini", u"EmailScanner", u"MarkSubjectForVirusMsg",                  u"1"},                   // 0x40003
    {u"EmailTarve.ini", u"EmailScanner", u"SubjectForVirusMsg",                      u"*** VIRUS ***"},       // 0x40004
    {u"EmailTarve.ini", u"EmailScanner", u"MarkSubjectForSuspiciousMsg",             u"1"},                   // 0x40005
    {u"EmailTarve.ini", u"EmailScanner", u"SubjectForSuspiciousMsg",                 u"*** SUSPICIOUS ***"},  // 0x40006
    {u"EmailTarve.ini", u"EmailScanner", u"InsertNoteCleanMsg",                      u"0"},                   // 0x40007
    {u"EmailTarve.ini", u"EmailScanner", u"InsertNoteInfectedMsg",                   u"0"},                   // 0x40008
    {u"EmailTarve.ini", u"EmailScanner", u"ShowTrayIcon",                            u"1"},                   // 0x40009
    {u"EmailTarve.ini", u"EmailScanner", u"ShowSplashScreenMSO",                     u"1"},                   // 0x4000A
    {u"EmailTarve.ini", u"EmailScanner", u"ScanAttachmentDuringAttachingMSO",        u"1"},                   // 0x4000B
    {u"EmailTarve.ini", u"EmailScanner", u"ScanArchivedMessagesMSO",                 u"0"},                   // 0x4000C
    {u"EmailTarve.ini", u"EmailScanner", u"HeuristicWhitespaceSequenceAttNameCheck", u"1"},                   // 0x4000D
    {u"EmailTarve.ini", u"EmailScanner", u"HeuristicWhitespaceSequenceAttName",      u"20"},                  // 0x4000E
    {u"EmailTarve.ini", u"EmailScanner", u"HeuristicAttachmentCheck",                u"1"},                   // 0x4000F
    {u"EmailTarve.ini", u"EmailScanner", u"HeuristicLocalIframe",                    u"0"},                   // 0x40010
    {u"EmailTarve.ini", u"EmailScanner", u"HeuristicRemoteIframe",                   u"0"},                   // 0x40011
    {u"EmailTarve.ini", u"EmailScanner", u"HeuristicRemoteIframeExclusions",         u""},                    // 0x40012
    {u"EmailTarve.ini", u"EmailScanner", u"DetectUnprotectedSSL",                    u"1"},                   // 0x40013
    {nullptr,           nullptr,         nullptr,                                    nullptr},
};
// clang-format on
static_assert(std::size(kEmailTable) == 20 + 1);
static_assert(IsTerminatedTable(kEmailTable));

// ScanExceptions is one string: file-name patterns separated by semicolons,
// each tagged with the access it applies to, <RW> or <W>.
// clang-format off
constexpr PropertyEntry kFileSystemTable[] = {
    // file                  section        key                                 default
    {u"FileSystemTarve.ini", u"FileSystem", u"ScanOnExecute",                   u"1"},     // 0x80000
    {u"FileSystemTarve.ini", u"FileSystem", u"ScanDLLOnLoad",                   u"1"},     // 0x80001
    {u"FileSystemTarve.ini", u"FileSystem", u"ScanScriptsOnExecute",            u"1"},     // 0x80002
    {u"FileSystemTarve.ini", u"FileSystem", u"ScanOnOpenDocuments",             u"1"},     // 0x80003
    {u"FileSystemTarve.ini", u"FileSystem", u"ScanOnOpenCustomExtensions",      u"0"},     // 0x80004
    {u"FileSystemTarve.ini", u"FileSystem", u"ScanOnOpenCustomExtensionsList",  u""},      // 0x80005
    {u"FileSystemTarve.ini", u"FileSystem", u"ScanOnOpenAllFiles",              u"0"},     // 0x80006
    {u"FileSystemTarve.ini", u"FileSystem", u"ScanOnWriteDefault",              u"1"},     // 0x80007
    {u"FileSystemTarve.ini", u"FileSystem", u"ScanOnWriteCustomExtensions",     u"0"},     // 0x80008
    {u"FileSystemTarve.ini", u"FileSystem", u"ScanOnWriteCustomExtensionsList", u""},      // 0x80009
    {u"FileSystemTarve.ini", u"FileSystem", u"ScanOnWriteAllFiles",             u"0"},     // 0x8000A
    {u"FileSystemTarve.ini", u"FileSystem", u"ScanDiskette",                    u"1"},     // 0x8000B
    {u"FileSystemTarve.ini", u"FileSystem", u"ScanAutorun",                     u"1"},     // 0x8000C
    {u"FileSystemTarve.ini", u"FileSystem", u"ScanExceptions",                  u"<RW>?:\\PageFile.sys;<RW>*\\System.da?;<RW>*\\User.da?;<RW>*.fon;<RW>*.txt;<RW>*.log;<RW>*.ini;<W>*\\firefox\\profiles\\*sessionstore*.js"},  // 0x8000D
    {u"FileSystemTarve.ini", u"FileSystem", u"SkipSystemDlls",                  u"1"},     // 0x8000E
    {u"FileSystemTarve.ini", u"FileSystem", u"UseTransientCache",               u"1"},     // 0x8000F
    {u"FileSystemTarve.ini", u"FileSystem", u"UsePersistentCache",              u"1"},     // 0x80010
    {nullptr,                nullptr,       nullptr,                            nullptr},
};
// clang-format on
static_assert(std::size(kFileSystemTable) == 17 + 1);
static_assert(IsTerminatedTable(kFileSystemTable));

// One switch per supported peer-to-peer program; uTorrent alone is off.
// clang-format off
constexpr PropertyEntry kP2PTable[] = {
    // file           section key                 default
    {u"P2PTarve.ini", u"P2P", u"Kazaa",           u"1"},     // 0x100000
    {u"P2PTarve.ini", u"P2P", u"KazaaLite",       u"1"},     // 0x100001
    {u"P2PTarve.ini", u"P2P", u"DirectConnect",   u"1"},     // 0x100002
    {u"P2PTarve.ini", u"P2P", u"DirectConnectPP", u"1"},     // 0x100003
    {u"P2PTarve.ini", u"P2P", u"BearShare",       u"1"},     // 0x100004
    {u"P2PTarve.ini", u"P2P", u"iMesh",           u"1"},     // 0x100005
    {u"P2PTarve.ini", u"P2P", u"WinMX",           u"1"},     // 0x100006
    {u"P2PTarve.ini", u"P2P", u"LimeWire",        u"1"},     // 0x100007
    {u"P2PTarve.ini", u"P2P", u"BitTorrent",      u"1"},     // 0x100008
    {u"P2PTarve.ini", u"P2P", u"Overnet",         u"1"},     // 0x100009
    {u"P2PTarve.ini", u"P2P", u"Shareaza",        u"1"},     // 0x10000A
    {u"P2PTarve.ini", u"P2P", u"CZDCPP",          u"1"},     // 0x10000B
    {u"P2PTarve.ini", u"P2P", u"Morpheus",        u"1"},     // 0x10000C
    {u"P2PTarve.ini", u"P2P", u"eDonkey",         u"1"},     // 0x10000D
    {u"P2PTarve.ini", u"P2P", u"eMule",           u"1"},     // 0x10000E
    {u"P2PTarve.ini", u"P2P", u"Ares",            u"1"},     // 0x10000F
    {u"P2PTarve.ini", u"P2P", u"SoulSeek",        u"1"},     // 0x100010
    {u"P2PTarve.ini", u"P2P", u"OperaDCPP",       u"1"},     // 0x100011
    {u"P2PTarve.ini", u"P2P", u"StrongDCPP",      u"1"},     // 0x100012
    {u"P2PTarve.ini", u"P2P", u"iDCPP",           u"1"},     // 0x100013
    {u"P2PTarve.ini", u"P2P", u"KCeasy",          u"1"},     // 0x100014
    {u"P2PTarve.ini", u"P2P", u"BitComet",        u"1"},     // 0x100015
    {u"P2PTarve.ini", u"P2P", u"BitLord",         u"1"},     // 0x100016
    {u"P2PTarve.ini", u"P2P", u"ABC",             u"1"},     // 0x100017
    {u"P2PTarve.ini", u"P2P", u"uTorrent",        u"0"},     // 0x100018
    {u"P2PTarve.ini", u"P2P", u"BitPump",         u"1"},     // 0x100019
    {u"P2PTarve.ini", u"P2P", u"Winny2",          u"1"},     // 0x10001A
    {u"P2PTarve.ini", u"P2P", u"Zultrax",         u"1"},     // 0x10001B
    {u"P2PTarve.ini", u"P2P", u"AzureusVuze",     u"1"},     // 0x10001C
    {u"P2PTarve.ini", u"P2P", u"Qtrax",           u"1"},     // 0x10001D
    {u"P2PTarve.ini", u"P2P", u"Lphant",          u"1"},     // 0x10001E
    {u"P2PTarve.ini", u"P2P", u"FrostWire",       u"1"},     // 0x10001F
    {nullptr,         nullptr,nullptr,            nullptr},
};
// clang-format on
static_assert(std::size(kP2PTable) == 32 + 1);
static_assert(IsTerminatedTable(kP2PTable));

// One switch per supported messaging program.
// clang-format off
constexpr PropertyEntry kIMTable[] = {
    // file          section       key            default
    {u"IMTarve.ini", u"Messenger", u"MSN",        u"1"},     // 0x200000
    {u"IMTarve.ini", u"Messenger", u"Yahoo",      u"1"},     // 0x200001
    {u"IMTarve.ini", u"Messenger", u"ICQ",        u"1"},     // 0x200002
    {u"IMTarve.ini", u"Messenger", u"AIM",        u"1"},     // 0x200003
    {u"IMTarve.ini", u"Messenger", u"Trillian",   u"1"},     // 0x200004
    {u"IMTarve.ini", u"Messenger", u"mIRC",       u"1"},     // 0x200005
    {u"IMTarve.ini", u"Messenger", u"Miranda",    u"1"},     // 0x200006
    {u"IMTarve.ini", u"Messenger", u"gaimPidgin", u"1"},     // 0x200007
    {u"IMTarve.ini", u"Messenger", u"Odigo",      u"1"},     // 0x200008
    {u"IMTarve.ini", u"Messenger", u"Gadu-Gadu",  u"1"},     // 0x200009
    {u"IMTarve.ini", u"Messenger", u"PsiJabber",  u"1"},     // 0x20000A
    {u"IMTarve.ini", u"Messenger", u"Skype",      u"1"},     // 0x20000B
    {u"IMTarve.ini", u"Messenger", u"IM2",        u"1"},     // 0x20000C
    {u"IMTarve.ini", u"Messenger", u"SIM",        u"1"},     // 0x20000D
    {u"IMTarve.ini", u"Messenger", u"PalTalk",    u"1"},     // 0x20000E
    {u"IMTarve.ini", u"Messenger", u"Tlen",       u"1"},     // 0x20000F
    {u"IMTarve.ini", u"Messenger", u"GoogleTalk", u"1"},     // 0x200010
    {u"IMTarve.ini", u"Messenger", u"WengoPhone", u"1"},     // 0x200011
    {u"IMTarve.ini", u"Messenger", u"QQ",         u"1"},     // 0x200012
    {u"IMTarve.ini", u"Messenger", u"Infium",     u"1"},     // 0x200013
    {u"IMTarve.ini", u"Messenger", u"QIP",        u"1"},     // 0x200014
    {u"IMTarve.ini", u"Messenger", u"XFire",      u"1"},     // 0x200015
    {u"IMTarve.ini", u"Messenger", u"KonnektIM",  u"1"},     // 0x200016
    {u"IMTarve.ini", u"Messenger", u"Digsby",     u"1"},     // 0x200017
    {nullptr,        nullptr,      nullptr,       nullptr},
};
// clang-format on
static_assert(std::size(kIMTable) == 24 + 1);
static_assert(IsTerminatedTable(kIMTable));

// clang-format off
constexpr PropertyEntry kWebTable[] = {
    // file           section        key                             default
    {u"WebTarve.ini", u"WebScanner", u"WebScanning",                 u"1"},                                    // 0x400000
    {u"WebTarve.ini", u"WebScanner", u"IntelligentStreamScanning",   u"1"},                                    // 0x400001
    {u"WebTarve.ini", u"WebScanner", u"HttpScanParamFlag",           u"1"},                                    // 0x400002
    {u"WebTarve.ini", u"WebScanner", u"HttpScanParamExtensions",     u"0"},                                    // 0x400003
    {u"WebTarve.ini", u"WebScanner", u"HttpScanParamExtensionsList", u""},                                     // 0x400004
    {u"WebTarve.ini", u"WebScanner", u"HttpScanParamType",           u"0"},                                    // 0x400005
    {u"WebTarve.ini", u"WebScanner", u"HttpScanParamTypeList",       u""},                                     // 0x400006
    {u"WebTarve.ini", u"WebScanner", u"URLBlocking",                 u"0"},                                    // 0x400007
    {u"WebTarve.ini", u"WebScanner", u"BlockedURLs",                 u""},                                     // 0x400008
    {u"WebTarve.ini", u"WebScanner", u"ExcludedURLs",                u"0"},                                    // 0x400009
    {u"WebTarve.ini", u"WebScanner", u"ExcludedURLsList",            u""},                                     // 0x40000A
    {u"WebTarve.ini", u"WebScanner", u"ExcludedTypes",               u"1"},                                    // 0x40000B
    {u"WebTarve.ini", u"WebScanner", u"ExcludedTypesList",           u"image/gif;image/png;audio/*;video/*"},  // 0x40000C
    {nullptr,         nullptr,       nullptr,                        nullptr},
};
// clang-format on
static_assert(std::size(kWebTable) == 13 + 1);
static_assert(IsTerminatedTable(kWebTable));

// clang-format off
constexpr PropertyEntry kNetworkTable[] = {
    // file               section          key                     default
    {u"NetworkTarve.ini", u"NetworkTarve", u"ShowMessage",         u"1"},     // 0x800000
    {u"NetworkTarve.ini", u"NetworkTarve", u"Logging",             u"1"},     // 0x800001
    {u"NetworkTarve.ini", u"NetworkTarve", u"SendBlockedUrlStats", u"1"},     // 0x800002
    {nullptr,             nullptr,         nullptr,                nullptr},
};
// clang-format on
static_assert(std::size(kNetworkTable) == 3 + 1);
static_assert(IsTerminatedTable(kNetworkTable));

// clang-format off
constexpr PropertyEntry kScriptTable[] = {
    // file                  section         key                  default
    {u"FileSystemTarve.ini", u"ScriptTarve", u"ShowSplashScreen", u"1"},     // 0x1000000
    {nullptr,                nullptr,        nullptr,             nullptr},
};
// clang-format on
static_assert(std::size(kScriptTable) == 1 + 1);
static_assert(IsTerminatedTable(kScriptTable));

// clang-format off
constexpr PropertyEntry kAntiSpamTable[] = {
    // file                section      key                            default
    {u"AntiSpamTarve.ini", u"AntiSpam", u"Threshold",                  u"2"},             // 0x2000000
    {u"AntiSpamTarve.ini", u"AntiSpam", u"MarkSubject",                u"1"},             // 0x2000001
    {u"AntiSpamTarve.ini", u"AntiSpam", u"SubjectForSpamMsg",          u"*** SPAM ***"},  // 0x2000002
    {u"AntiSpamTarve.ini", u"AntiSpam", u"AddRecipientsAutomatically", u"0"},             // 0x2000003
    {u"AntiSpamTarve.ini", u"AntiSpam", u"AddRecipientsOnlyDomain",    u"0"},             // 0x2000004
    {u"AntiSpamTarve.ini", u"AntiSpam", u"MoveToJunkFolder",           u"1"},             // 0x2000005
    {u"AntiSpamTarve.ini", u"AntiSpam", u"JunkFolder",                 u"ormix! Junk"},   // 0x2000006
    {u"AntiSpamTarve.ini", u"AntiSpam", u"RuleUpdate",                 u"1"},             // 0x2000007
    {u"AntiSpamTarve.ini", u"AntiSpam", u"RuleUpdatePeriod",           u"300"},           // 0x2000008
    {u"AntiSpamTarve.ini", u"AntiSpam", u"LiveFeed",                   u"1"},             // 0x2000009
    {u"AntiSpamTarve.ini", u"AntiSpam", u"CustomThresholdValue",       u"0"},             // 0x200000A
    {u"AntiSpamTarve.ini", u"AntiSpam", u"AntispamToolbarLeft",        u"0"},             // 0x200000B
    {u"AntiSpamTarve.ini", u"AntiSpam", u"AntispamToolbarTop",         u"0"},             // 0x200000C
    {u"AntiSpamTarve.ini", u"AntiSpam", u"AntispamToolbarRowIndex",    u"-1"},            // 0x200000D
    {u"AntiSpamTarve.ini", u"AntiSpam", u"AntispamToolbarPosition",    u"1"},             // 0x200000E
    {u"AntiSpamTarve.ini", u"AntiSpam", u"AntispamToolbarVisibility",  u"-1"},            // 0x200000F
    {u"AntiSpamTarve.ini", u"AntiSpam", u"AddAddressBookToWhitelist",  u"0"},             // 0x2000010
    {nullptr,              nullptr,     nullptr,                       nullptr},
};
// clang-format on
static_assert(std::size(kAntiSpamTable) == 17 + 1);
static_assert(IsTerminatedTable(kAntiSpamTable));

}  // namespace orx::catalogue
