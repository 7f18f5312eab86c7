// The provider class (0x4000000): settings kept once per provider. The file
// field holds the placeholder "ProviderINI" and is never used as a file
// name; a provider operation names the file by the provider's name + ".ini".
// These are the defaults for every provider that the read path does not
// give defaults of its own.
#include <iterator>

#include "catalogue/property_id.h"
#include "catalogue/property_names.h"

namespace orx::catalogue {

// clang-format off
constexpr PropertyEntry kProviderTable[] = {
    // file          section    key                               default
    {u"ProviderINI", u"Common", u"NetAlert",                      u""},                                // 0x4000000
    {u"ProviderINI", u"Common", u"ScanPackers",                   u"EXE;WinExec;Streams;Drop"},        // 0x4000001
    {u"ProviderINI", u"Common", u"Report",                        u"TXT"},                             // 0x4000002
    {u"ProviderINI", u"Common", u"ReportName",                    u"*"},                               // 0x4000003
    {u"ProviderINI", u"Common", u"ReportRecords",                 u"Start;Stop;Infected;HardErrors"},  // 0x4000004
    {u"ProviderINI", u"Common", u"OverwriteReport",               u"0"},                               // 0x4000005
    {u"ProviderINI", u"Common", u"ShowInfo",                      u"0"},                               // 0x4000006
    {u"ProviderINI", u"Common", u"VirusAction",                   u"trezor iffailed delete"},          // 0x4000007
    {u"ProviderINI", u"Common", u"SuspiciousAction",              u"trezor iffailed delete"},          // 0x4000008
    {u"ProviderINI", u"Common", u"PUPAction",                     u"trezor iffailed delete"},          // 0x4000009
    {u"ProviderINI", u"Common", u"ProviderEnabled",               u"1"},                               // 0x400000A
    {u"ProviderINI", u"Common", u"ShowAppliedActionNotification", u"1"},                               // 0x400000B
    {u"ProviderINI", u"Common", u"PerformActionOnStartup",        u"1"},                               // 0x400000C
    {u"ProviderINI", u"Common", u"ScanIgnoreTargeting",           u"0"},                               // 0x400000D
    {u"ProviderINI", u"Common", u"ScanFullFiles",                 u"0"},                               // 0x400000E
    {u"ProviderINI", u"Common", u"TaskSensitivity",               u"80"},                              // 0x400000F
    {u"ProviderINI", u"Common", u"UseCodeEmulation",              u"1"},                               // 0x4000010
    {u"ProviderINI", u"Common", u"ScanPUP",                       u"0"},                               // 0x4000011
    {u"ProviderINI", u"Common", u"ActionOnPackedFile",            u"onlyfile"},                        // 0x4000012
    {nullptr,        nullptr,   nullptr,                          nullptr},
};
// clang-format on
static_assert(std::size(kProviderTable) == 19 + 1);
static_assert(IsTerminatedTable(kProviderTable));
static_assert(RowHasKey(kProviderTable, kProviderClass, kProviderScanPackers, u"ScanPackers"));
static_assert(RowHasKey(kProviderTable, kProviderClass, kProviderReport, u"Report"));
static_assert(RowHasKey(kProviderTable, kProviderClass, kProviderVirusAction, u"VirusAction"));
static_assert(RowHasKey(kProviderTable, kProviderClass, kProviderSuspiciousAction,
                        u"SuspiciousAction"));
static_assert(RowHasKey(kProviderTable, kProviderClass, kProviderPUPAction, u"PUPAction"));

}  // namespace orx::catalogue
