// The task class (0x20000): the properties of one scan task. Every row names
// the section "TaskGUID", a placeholder that a task operation replaces by
// the task's id; a plain operation uses the section of that name as it is.
#include <iterator>

#include "catalogue/property_id.h"
#include "catalogue/property_names.h"

namespace orx::catalogue {

// clang-format off
constexpr PropertyEntry kTaskTable[] = {
    // file         section      key                                     default
    {u"ormix5.ini", u"TaskGUID", u"Label",                               u"????"},                            // 0x20000
    {u"ormix5.ini", u"TaskGUID", u"Comment",                             u""},                                // 0x20001
    {u"ormix5.ini", u"TaskGUID", u"Job",                                 u"Scan"},                            // 0x20002
    {u"ormix5.ini", u"TaskGUID", u"ScanAreas",                           u"AllHarddisks"},                    // 0x20003
    {u"ormix5.ini", u"TaskGUID", u"ScanTypes",                           u"Default"},                         // 0x20004
    {u"ormix5.ini", u"TaskGUID", u"ScanType",                            u"Content"},                         // 0x20005
    {u"ormix5.ini", u"TaskGUID", u"ScanFullFiles",                       u"0"},                               // 0x20006
    {u"ormix5.ini", u"TaskGUID", u"ScanIgnoreTargeting",                 u"0"},                               // 0x20007
    {u"ormix5.ini", u"TaskGUID", u"ScanExclusions",                      u""},                                // 0x20008
    {u"ormix5.ini", u"TaskGUID", u"VirusAction",                         u""},                                // 0x20009
    {u"ormix5.ini", u"TaskGUID", u"SuspiciousAction",                    u""},                                // 0x2000A
    {u"ormix5.ini", u"TaskGUID", u"PUPAction",                           u""},                                // 0x2000B
    {u"ormix5.ini", u"TaskGUID", u"ScanPackers",                         u"EXE;WinExec;Streams;Drop"},        // 0x2000C
    {u"ormix5.ini", u"TaskGUID", u"Priority",                            u"1"},                               // 0x2000D
    {u"ormix5.ini", u"TaskGUID", u"ScanFor",                             u"Standard;Polymorphic;Macro"},      // 0x2000E
    {u"ormix5.ini", u"TaskGUID", u"ScanResults",                         u"Infected;HardErrors;Excluded"},    // 0x2000F
    {u"ormix5.ini", u"TaskGUID", u"StoreResults",                        u"1"},                               // 0x20010
    {u"ormix5.ini", u"TaskGUID", u"Report",                              u"None"},                            // 0x20011
    {u"ormix5.ini", u"TaskGUID", u"ReportName",                          u"*"},                               // 0x20012
    {u"ormix5.ini", u"TaskGUID", u"ReportRecords",                       u"Start;Stop;Infected;HardErrors"},  // 0x20013
    {u"ormix5.ini", u"TaskGUID", u"OverwriteReport",                     u"0"},                               // 0x20014
    {u"ormix5.ini", u"TaskGUID", u"NetAlert",                            u""},                                // 0x20015
    {u"ormix5.ini", u"TaskGUID", u"LocalizedLabel",                      u"0"},                               // 0x20016
    {u"ormix5.ini", u"TaskGUID", u"SchedType",                           u"Weekly"},                          // 0x20017
    {u"ormix5.ini", u"TaskGUID", u"SchedTime",                           u"0"},                               // 0x20018
    {u"ormix5.ini", u"TaskGUID", u"SchedDays",                           u"127"},                             // 0x20019
    {u"ormix5.ini", u"TaskGUID", u"SchedulerEnabled",                    u"0"},                               // 0x2001A
    {u"ormix5.ini", u"TaskGUID", u"DoNotStartOnBatteries",               u"1"},                               // 0x2001B
    {u"ormix5.ini", u"TaskGUID", u"PauseOnBatteries",                    u"1"},                               // 0x2001C
    {u"ormix5.ini", u"TaskGUID", u"WakeUpMachine",                       u"0"},                               // 0x2001D
    {u"ormix5.ini", u"TaskGUID", u"ShutDownMachine",                     u"0"},                               // 0x2001E
    {u"ormix5.ini", u"TaskGUID", u"LastScanPath",                        u""},                                // 0x2001F
    {u"ormix5.ini", u"TaskGUID", u"Deleted",                             u"0"},                               // 0x20020
    {u"ormix5.ini", u"TaskGUID", u"TaskSensitivity",                     u"80"},                              // 0x20021
    {u"ormix5.ini", u"TaskGUID", u"UseCodeEmulation",                    u"1"},                               // 0x20022
    {u"ormix5.ini", u"TaskGUID", u"ScanPUP",                             u"0"},                               // 0x20023
    {u"ormix5.ini", u"TaskGUID", u"PerformActionOnStartup",              u"1"},                               // 0x20024
    {u"ormix5.ini", u"TaskGUID", u"DefaultTask",                         u"0"},                               // 0x20025
    {u"ormix5.ini", u"TaskGUID", u"SpecialTask",                         u"0"},                               // 0x20026
    {u"ormix5.ini", u"TaskGUID", u"TemporaryTask",                       u"0"},                               // 0x20027
    {u"ormix5.ini", u"TaskGUID", u"ActionOnPackedFile",                  u"onlyfile"},                        // 0x20028
    {u"ormix5.ini", u"TaskGUID", u"TaskImage",                           u"custom"},                          // 0x20029
    {u"ormix5.ini", u"TaskGUID", u"ConsultUsn",                          u"1"},                               // 0x2002A
    {u"ormix5.ini", u"TaskGUID", u"PopulateUsn",                         u"0"},                               // 0x2002B
    {u"ormix5.ini", u"TaskGUID", u"StoreLastScannedItem",                u"0"},                               // 0x2002C
    {u"ormix5.ini", u"TaskGUID", u"AutomaticallyApplyActionsDuringScan", u"0"},                               // 0x2002D
    {nullptr,       nullptr,     nullptr,                                nullptr},
};
// clang-format on
static_assert(std::size(kTaskTable) == 46 + 1);
static_assert(IsTerminatedTable(kTaskTable));
static_assert(RowHasKey(kTaskTable, kTaskClass, kTaskLabel, u"Label"));
static_assert(RowHasKey(kTaskTable, kTaskClass, kTaskComment, u"Comment"));
static_assert(RowHasKey(kTaskTable, kTaskClass, kTaskDeleted, u"Deleted"));
static_assert(std::u16string_view(kTaskTable[0].file) == kMainFile);
static_assert(std::u16string_view(kTaskTable[0].section) == kTaskSectionPlaceholder);

}  // namespace orx::catalogue
