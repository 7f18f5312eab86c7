// The general class (0x10000): product-wide settings. Most live in
// "ormix5.ini"; the e-mail and web modules' redirection ports and address
// filters are reachable here too, in those modules' own files, so the same
// key name can appear twice with different files (IgnoreAddress at 0x10044
// and 0x10049).
#include <iterator>

#include "catalogue/property_id.h"
#include "catalogue/property_names.h"

namespace orx::catalogue {

// clang-format off
constexpr PropertyEntry kGeneralTable[] = {
    // file             section           key                            default
    {u"ormix5.ini",     u"Communication", u"SMTPPort",                   u"25"},        // 0x10000
    {u"ormix5.ini",     u"Communication", u"SMTPServer",                 u""},          // 0x10001
    {u"ormix5.ini",     u"Communication", u"SMTPFrom",                   u""},          // 0x10002
    {u"ormix5.ini",     u"Communication", u"SMTPAuth",                   u"0"},         // 0x10003
    {u"ormix5.ini",     u"Communication", u"SMTPUserName",               u""},          // 0x10004
    {u"ormix5.ini",     u"Communication", u"SMTPUserPassword",           u""},          // 0x10005
    {u"ormix5.ini",     u"OXUM",          u"StartupRootkitScan",         u"1"},         // 0x10006
    {u"ormix5.ini",     u"Scanner",       u"RawBootTimeScan",            u"1"},         // 0x10007
    {u"ormix5.ini",     u"Scanner",       u"SkipSignatureChecks",        u"0"},         // 0x10008
    {u"ormix5.ini",     u"SelfDefense",   u"SelfDefense",                u"1"},         // 0x10009
    {u"ormix5.ini",     u"Common",        u"LateServiceStart",           u"0"},         // 0x1000A
    {u"ormix5.ini",     u"OXUM",          u"CheckFullScreenApps",        u"0"},         // 0x1000B
    {u"ormix5.ini",     u"Common",        u"NetAlert",                   u""},          // 0x1000C
    {u"ormix5.ini",     u"Common",        u"MAPIProfile",                u""},          // 0x1000D
    {u"ormix5.ini",     u"Common",        u"MAPIPassword",               u""},          // 0x1000E
    {u"ormix5.ini",     u"InetWD",        u"UseRAS",                     u"0"},         // 0x1000F
    {u"ormix5.ini",     u"InetWD",        u"AssumeAlwaysConnected",      u"0"},         // 0x10010
    {u"ormix5.ini",     u"Common",        u"VPSUpdate",                  u"Auto"},      // 0x10011
    {u"ormix5.ini",     u"Common",        u"ProgramUpdate",              u"Ask"},       // 0x10012
    {u"ormix5.ini",     u"InetWD",        u"UpdatePeriod",               u"240"},       // 0x10013
    {u"ormix5.ini",     u"iKOR",          u"RunningMode",                u"Normal"},    // 0x10014
    {u"ormix5.ini",     u"iKOR",          u"Progress",                   u"1"},         // 0x10015
    {u"ormix5.ini",     u"iKOR",          u"TrayIcon",                   u"0"},         // 0x10016
    {u"ormix5.ini",     u"iKOR",          u"AskReboot",                  u"1"},         // 0x10017
    {u"ormix5.ini",     u"iKOR",          u"SuppressUpdatedInfo",        u"0"},         // 0x10018
    {u"ormix5.ini",     u"iKOR",          u"SuppressUpdateErrorInfo",    u"0"},         // 0x10019
    {u"ormix5.ini",     u"Common",        u"Exclude",                    u""},          // 0x1001A
    {u"ormix5.ini",     u"Common",        u"LogMaxSize",                 u"4096"},      // 0x1001B
    {u"ormix5.ini",     u"Common",        u"LoggingLevel",               u"5"},         // 0x1001C
    {u"ormix5.ini",     u"Languages",     u"Engine",                     u"1033"},      // 0x1001D
    {u"ormix5.ini",     u"Confirmation",  u"Confirm0",                   u"0"},         // 0x1001E
    {u"ormix5.ini",     u"Confirmation",  u"Confirm1",                   u"0"},         // 0x1001F
    {u"ormix5.ini",     u"Confirmation",  u"Confirm2",                   u"0"},         // 0x10020
    {u"ormix5.ini",     u"Confirmation",  u"Confirm3",                   u"0"},         // 0x10021
    {u"ormix5.ini",     u"Confirmation",  u"Confirm4",                   u"0"},         // 0x10022
    {u"ormix5.ini",     u"Confirmation",  u"Confirm5",                   u"0"},         // 0x10023
    {u"ormix5.ini",     u"Confirmation",  u"Confirm6",                   u"0"},         // 0x10024
    {u"ormix5.ini",     u"Confirmation",  u"Confirm7",                   u"0"},         // 0x10025
    {u"ormix5.ini",     u"Confirmation",  u"Confirm8",                   u"0"},         // 0x10026
    {u"ormix5.ini",     u"Confirmation",  u"Confirm9",                   u"0"},         // 0x10027
    {u"ormix5.ini",     u"Confirmation",  u"Confirm10",                  u"0"},         // 0x10028
    {u"ormix5.ini",     u"Confirmation",  u"Confirm11",                  u"0"},         // 0x10029
    {u"ormix5.ini",     u"Confirmation",  u"Confirm12",                  u"0"},         // 0x1002A
    {u"ormix5.ini",     u"Confirmation",  u"Confirm13",                  u"0"},         // 0x1002B
    {u"ormix5.ini",     u"Confirmation",  u"Confirm14",                  u"0"},         // 0x1002C
    {u"ormix5.ini",     u"Confirmation",  u"Confirm15",                  u"0"},         // 0x1002D
    {u"ormix5.ini",     u"Confirmation",  u"Confirm16",                  u"0"},         // 0x1002E
    {u"ormix5.ini",     u"Confirmation",  u"Confirm17",                  u"0"},         // 0x1002F
    {u"ormix5.ini",     u"Confirmation",  u"Confirm18",                  u"0"},         // 0x10030
    {u"ormix5.ini",     u"Confirmation",  u"Confirm19",                  u"0"},         // 0x10031
    {u"ormix5.ini",     u"Confirmation",  u"Confirm20",                  u"0"},         // 0x10032
    {u"ormix5.ini",     u"Chest",         u"MaxSize",                    u"256"},       // 0x10033
    {u"ormix5.ini",     u"Communication", u"MaximumSendSize",            u"16384"},     // 0x10034
    {u"ormix5.ini",     u"UserInterface", u"ShowSpecialTasks",           u"0"},         // 0x10035
    {u"ormix5.ini",     u"UserInterface", u"AutoDelete",                 u"30"},        // 0x10036
    {u"ormix5.ini",     u"OXUM",          u"ShowTaskbarIcon",            u"1"},         // 0x10037
    {u"ormix5.ini",     u"UserInterface", u"AnimateIcon",                u"1"},         // 0x10038
    {u"ormix5.ini",     u"Simple",        u"SkinUseLayeredWindows",      u"1"},         // 0x10039
    {u"ormix5.ini",     u"Quick",         u"ShowResults",                u"0"},         // 0x1003A
    {u"ormix5.ini",     u"UserInterface", u"ShellExtensionIcon",         u"1"},         // 0x1003B
    {u"EmailTarve.ini", u"EmailScanner",  u"PopRedirectPort",            u"110"},       // 0x1003C
    {u"EmailTarve.ini", u"EmailScanner",  u"SmtpRedirectPort",           u"25,587"},    // 0x1003D
    {u"EmailTarve.ini", u"EmailScanner",  u"ImapRedirectPort",           u"143"},       // 0x1003E
    {u"EmailTarve.ini", u"EmailScanner",  u"NntpRedirectPort",           u"119"},       // 0x1003F
    {u"EmailTarve.ini", u"EmailScanner",  u"PopRedirectPortSSL",         u"995"},       // 0x10040
    {u"EmailTarve.ini", u"EmailScanner",  u"SmtpRedirectPortSSL",        u"465"},       // 0x10041
    {u"EmailTarve.ini", u"EmailScanner",  u"ImapRedirectPortSSL",        u"993"},       // 0x10042
    {u"EmailTarve.ini", u"EmailScanner",  u"NntpRedirectPortSSL",        u"563"},       // 0x10043
    {u"EmailTarve.ini", u"EmailScanner",  u"IgnoreAddress",              u""},          // 0x10044
    {u"EmailTarve.ini", u"EmailScanner",  u"IgnoreLocalhost",            u"1"},         // 0x10045
    {u"EmailTarve.ini", u"EmailScanner",  u"AutoRedirect",               u"1"},         // 0x10046
    {u"EmailTarve.ini", u"EmailScanner",  u"Accounts",                   u""},          // 0x10047
    {u"WebTarve.ini",   u"WebScanner",    u"HttpRedirectPort",           u"80"},        // 0x10048
    {u"WebTarve.ini",   u"WebScanner",    u"IgnoreAddress",              u""},          // 0x10049
    {u"WebTarve.ini",   u"WebScanner",    u"IgnoreLocalhost",            u"1"},         // 0x1004A
    {u"WebTarve.ini",   u"WebScanner",    u"AutoRedirect",               u"1"},         // 0x1004B
    {u"ormix5.ini",     u"Common",        u"BootTimeScanAreas",          u""},          // 0x1004C
    {u"ormix5.ini",     u"Common",        u"BootTimeScanPackers",        u"1"},         // 0x1004D
    {u"ormix5.ini",     u"Common",        u"BootTimeScanSensitivity",    u"80"},        // 0x1004E
    {u"ormix5.ini",     u"Common",        u"BootTimeScanPUP",            u"1"},         // 0x1004F
    {u"ormix5.ini",     u"Common",        u"ActionOnPackedFile",         u"onlyfile"},  // 0x10050
    {u"ormix5.ini",     u"Common",        u"PropertySilent",             u"0"},         // 0x10051
    {u"ormix5.ini",     u"Common",        u"PropertySilentFullscreen",   u"1"},         // 0x10052
    {u"ormix5.ini",     u"Common",        u"PropertyCommunity",          u"1"},         // 0x10053
    {u"ormix5.ini",     u"Common",        u"PropertyPowerbarFS",         u"1"},         // 0x10054
    {u"ormix5.ini",     u"Common",        u"PropertyPowerbarMail",       u"1"},         // 0x10055
    {u"ormix5.ini",     u"Common",        u"PropertyPowerbarWeb",        u"1"},         // 0x10056
    {u"ormix5.ini",     u"Common",        u"PropertyPowerbarP2P",        u"1"},         // 0x10057
    {u"ormix5.ini",     u"Common",        u"PropertyPowerbarIM",         u"1"},         // 0x10058
    {u"ormix5.ini",     u"Common",        u"PropertyPowerbarNS",         u"1"},         // 0x10059
    {u"ormix5.ini",     u"Common",        u"PropertyPowerbarSS",         u"1"},         // 0x1005A
    {u"ormix5.ini",     u"Common",        u"PropertyPowerbarBehav",      u"1"},         // 0x1005B
    {u"ormix5.ini",     u"Common",        u"PropertyPowerbarDefsVer",    u"1"},         // 0x1005C
    {u"ormix5.ini",     u"Common",        u"PropertyPowerbarProgVer",    u"1"},         // 0x1005D
    {u"ormix5.ini",     u"Common",        u"PropertyPowerbarAutoUpdate", u"1"},         // 0x1005E
    {u"ormix5.ini",     u"Common",        u"PropertyPowerbarFirewall",   u"1"},         // 0x1005F
    {u"ormix5.ini",     u"Common",        u"PropertyPowerbarAntiSpam",   u"1"},         // 0x10060
    {u"ormix5.ini",     u"Common",        u"PasswordEnabled",            u"0"},         // 0x10061
    {u"ormix5.ini",     u"Common",        u"PasswordUI",                 u"0"},         // 0x10062
    {u"ormix5.ini",     u"Common",        u"Password",                   u""},          // 0x10063
    {u"ormix5.ini",     u"Common",        u"PasswordSettings",           u"1"},         // 0x10064
    {u"ormix5.ini",     u"Common",        u"PasswordProt",               u"1"},         // 0x10065
    {u"ormix5.ini",     u"Common",        u"PasswordProtSettings",       u"1"},         // 0x10066
    {u"ormix5.ini",     u"Common",        u"PasswordScan",               u"1"},         // 0x10067
    {u"ormix5.ini",     u"Common",        u"PasswordScanSettings",       u"1"},         // 0x10068
    {u"ormix5.ini",     u"Common",        u"PasswordUpdate",             u"0"},         // 0x10069
    {u"ormix5.ini",     u"Common",        u"PasswordChest",              u"1"},         // 0x1006A
    {u"ormix5.ini",     u"Common",        u"SoundsEnabled",              u"1"},         // 0x1006B
    {u"ormix5.ini",     u"Common",        u"SoundsVoiceover",            u"1"},         // 0x1006C
    {u"ormix5.ini",     u"Common",        u"SoundsVirus",                u"1"},         // 0x1006D
    {u"ormix5.ini",     u"Common",        u"SoundsSuspic",               u"1"},         // 0x1006E
    {u"ormix5.ini",     u"Common",        u"SoundsPUP",                  u"1"},         // 0x1006F
    {u"ormix5.ini",     u"Common",        u"SoundsScan",                 u"1"},         // 0x10070
    {u"ormix5.ini",     u"Common",        u"SoundsUpdate",               u"1"},         // 0x10071
    {u"ormix5.ini",     u"Common",        u"SoundsFirewall",             u"1"},         // 0x10072
    {u"ormix5.ini",     u"Common",        u"AutoDeleteSessions",         u"1"},         // 0x10073
    {u"ormix5.ini",     u"Common",        u"CleanUpScanLogs",            u"1"},         // 0x10074
    {u"ormix5.ini",     u"Common",        u"CleanUpScanLogsTemp",        u"1"},         // 0x10075
    {u"ormix5.ini",     u"Common",        u"DebugLogging",               u"0"},         // 0x10076
    {u"ormix5.ini",     u"Common",        u"UnderlyingScreensaver",      u""},          // 0x10077
    {u"ormix5.ini",     u"Common",        u"LoopScanning",               u"1"},         // 0x10078
    {u"ormix5.ini",     u"Common",        u"WindowMovementSpeed",        u"5"},         // 0x10079
    {u"ormix5.ini",     u"Common",        u"ShowChrome",                 u"1"},         // 0x1007A
    {u"ormix5.ini",     u"Common",        u"InstallTime",                u"0"},         // 0x1007B
    {nullptr,           nullptr,          nullptr,                       nullptr},
};
// clang-format on
static_assert(std::size(kGeneralTable) == 124 + 1);
static_assert(IsTerminatedTable(kGeneralTable));
// RawBootTimeScan shares its section with the task list.
static_assert(RowHasKey(kGeneralTable, kGeneralClass, kGeneralClass | 0x07, u"RawBootTimeScan"));
static_assert(std::u16string_view(kGeneralTable[0x07].file) == kMainFile);
static_assert(std::u16string_view(kGeneralTable[0x07].section) == kTaskListSection);

}  // namespace orx::catalogue
