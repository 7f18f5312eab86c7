/* orx_c_loader: a C caller of orxProperty.dll that links nothing of it. It
 * loads the DLL with LoadLibraryW, finds all 23 exports with GetProcAddress
 * and checks the export contract: statuses, buffers, the task list, copy,
 * compaction, and several processes creating tasks at once (copies of this
 * program, started with "child"). Prints each failed check and exits with
 * the number of failures.
 * Usage: orx_c_loader DLL            (the checks, in a fresh data folder)
 *        orx_c_loader DLL child N    (creates N tasks and exits 0) */
#include <stdio.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

#include "orxProperty.h"

typedef int32_t(ORX_CALL *LifecycleFn)(void);
typedef int32_t(ORX_CALL *GetPropertyFn)(uint32_t, orxChar *, uint32_t);
typedef int32_t(ORX_CALL *SetPropertyFn)(uint32_t, const orxChar *);
typedef int32_t(ORX_CALL *GetTaskPropertyFn)(const orxChar *, uint32_t, orxChar *, uint32_t);
typedef int32_t(ORX_CALL *SetTaskPropertyFn)(const orxChar *, uint32_t, const orxChar *);
typedef int32_t(ORX_CALL *CreateTaskFn)(orxChar *, uint32_t *);
typedef int32_t(ORX_CALL *DeleteDefinitionFn)(const orxChar *, const orxChar *);
typedef int32_t(ORX_CALL *FirstTaskFn)(orxQuery *, orxChar *, uint32_t, orxChar *, uint32_t);
typedef int32_t(ORX_CALL *NextTaskFn)(orxQuery, int32_t);
typedef int32_t(ORX_CALL *CloseQueryFn)(orxQuery);
typedef int32_t(ORX_CALL *ShrinkFn)(int32_t);

static const char *const kExports[23] = {
    "orxPropertyInitLibrary", "orxPropertyFreeLibrary", "orxGetProperty",
    "orxGetPropertyInt", "orxGetTaskProperty", "orxGetTaskPropertyInt",
    "orxGetProviderProperty", "orxGetProviderPropertyInt", "orxSetProperty",
    "orxSetPropertyInt", "orxSetTaskProperty", "orxSetTaskPropertyInt",
    "orxSetProviderProperty", "orxSetProviderPropertyInt", "orxCreateTask",
    "orxDeleteTask", "orxDeleteTaskDefinition", "orxFindTaskByName",
    "orxGetFirstTask", "orxGetNextTask", "orxCloseQuery",
    "orxCopyTaskDefinition", "orxShrinkTasks"};

#define kLabel 0x20000u  /* task Label, default "????" */
#define kNetAlert 0x1000Cu  /* a general text setting, default "" */
#define kProcesses 4
#define kTasksEach 5

static int failures = 0;
static HMODULE dll;

#define CHECK(condition)                                              \
  do {                                                                \
    if (!(condition)) {                                               \
      printf("c_loader: line %d: %s\n", __LINE__, #condition);      \
      ++failures;                                                     \
    }                                                                 \
  } while (0)

/* void (*)(void) is the generic function pointer C compilers let a cast
 * go through without a warning; each caller casts it to the export's type. */
typedef void (*AnyFunction)(void);

static AnyFunction Find(const char *name) {
  AnyFunction found = (AnyFunction)GetProcAddress(dll, name);
  if (found == NULL) {
    printf("c_loader: no export %s\n", name);
    ++failures;
  }
  return found;
}

/* Task ids listed in slots 1, 2, ... up to the first free slot. */
static int ListTasks(orxChar ids[][39], int capacity) {
  FirstTaskFn first = (FirstTaskFn)Find("orxGetFirstTask");
  NextTaskFn next = (NextTaskFn)Find("orxGetNextTask");
  CloseQueryFn close_query = (CloseQueryFn)Find("orxCloseQuery");
  orxChar id[39];
  orxQuery query = NULL;
  int count = 0;
  if (first(&query, id, 39, NULL, 0) != ORX_STATUS_SUCCESS) return 0;
  do {
    if (count < capacity) memcpy(ids[count], id, sizeof id);
    ++count;
  } while (next(query, 0) == ORX_STATUS_SUCCESS);
  close_query(query);
  return count;
}

static int RunChild(int count) {
  CreateTaskFn create = (CreateTaskFn)Find("orxCreateTask");
  orxChar id[39];
  int i;
  ((LifecycleFn)Find("orxPropertyInitLibrary"))();
  for (i = 0; i < count; ++i) {
    uint32_t length = 39;
    if (create(id, &length) != ORX_STATUS_SUCCESS) return 1;
  }
  return 0;
}

static void CheckStatusesAndBuffers(void) {
  GetPropertyFn get = (GetPropertyFn)Find("orxGetProperty");
  SetPropertyFn set = (SetPropertyFn)Find("orxSetProperty");
  orxChar buffer[8];
  CHECK(get(kNetAlert, NULL, 8) == ORX_STATUS_INVALID_PARAMETER);
  buffer[0] = L'x';
  CHECK(get(0x7FFFFFFFu, buffer, 8) == ORX_STATUS_INVALID_PARAMETER && buffer[0] == 0);
  CHECK(set(kNetAlert, L"line\nbreak") == ORX_STATUS_INVALID_PARAMETER);
  CHECK(set(kNetAlert, L"caf\u00e9 \u6f22\u5b57 long") == ORX_STATUS_SUCCESS);
  CHECK(get(kNetAlert, buffer, 8) == ORX_STATUS_SUCCESS);
  CHECK(wcscmp(buffer, L"caf\u00e9 \u6f22\u5b57") == 0); /* cut to 7 units */
}

static void CheckTasks(void) {
  CreateTaskFn create = (CreateTaskFn)Find("orxCreateTask");
  GetTaskPropertyFn get_task = (GetTaskPropertyFn)Find("orxGetTaskProperty");
  SetTaskPropertyFn set_task = (SetTaskPropertyFn)Find("orxSetTaskProperty");
  DeleteDefinitionFn remove = (DeleteDefinitionFn)Find("orxDeleteTaskDefinition");
  ShrinkFn shrink = (ShrinkFn)Find("orxShrinkTasks");
  typedef int32_t(ORX_CALL * CopyFn)(const orxChar *, orxChar *, uint32_t *);
  CopyFn copy = (CopyFn)Find("orxCopyTaskDefinition");
  orxChar ids[3][39];
  orxChar listed[8][39];
  orxChar copied[39];
  orxChar label[100];
  uint32_t length = 10;
  int i;

  CHECK(create(ids[0], &length) == ORX_STATUS_INSUFFICIENT_BUFFER && length == 38 &&
        ids[0][0] == 0);
  for (i = 0; i < 3; ++i) {
    length = 39;
    CHECK(create(ids[i], &length) == ORX_STATUS_SUCCESS && length == 38 && ids[i][0] == L'{');
  }
  CHECK(ListTasks(listed, 8) == 3 && memcmp(listed[1], ids[1], sizeof ids[1]) == 0);

  CHECK(set_task(ids[0], kLabel, L"Nightly") == ORX_STATUS_SUCCESS);
  length = 39;
  CHECK(copy(ids[0], copied, &length) == ORX_STATUS_SUCCESS && length == 38);
  CHECK(get_task(copied, kLabel, label, 100) == ORX_STATUS_SUCCESS);
  CHECK(wcsstr(label, L"Nightly") != NULL);
  CHECK(ListTasks(listed, 8) == 4);

  /* Slot 2 removed: compaction moves slots 3 and 4 down, in order. */
  CHECK(remove(L"Task2", ids[1]) == ORX_STATUS_SUCCESS);
  CHECK(ListTasks(listed, 8) == 1);
  CHECK(shrink(10) == ORX_STATUS_SUCCESS);
  CHECK(ListTasks(listed, 8) == 3);
  CHECK(memcmp(listed[1], ids[2], sizeof ids[2]) == 0);
  CHECK(memcmp(listed[2], copied, sizeof copied) == 0);
}

static void CheckProcessesCreatingAtOnce(const wchar_t *self, const wchar_t *dll_path) {
  PROCESS_INFORMATION children[kProcesses];
  orxChar listed[64][39];
  int i, j, count, before;
  before = ListTasks(listed, 64);
  for (i = 0; i < kProcesses; ++i) {
    wchar_t command[2 * MAX_PATH + 40];
    STARTUPINFOW startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    swprintf(command, sizeof command / sizeof command[0], L"\"%ls\" \"%ls\" child %d", self,
             dll_path, kTasksEach);
    CHECK(CreateProcessW(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                         &children[i]));
  }
  for (i = 0; i < kProcesses; ++i) {
    DWORD code = 1;
    WaitForSingleObject(children[i].hProcess, INFINITE);
    GetExitCodeProcess(children[i].hProcess, &code);
    CHECK(code == 0);
    CloseHandle(children[i].hProcess);
    CloseHandle(children[i].hThread);
  }
  count = ListTasks(listed, 64);
  CHECK(count == before + kProcesses * kTasksEach);
  for (i = 0; i < count && i < 64; ++i) {
    for (j = i + 1; j < count && j < 64; ++j) CHECK(memcmp(listed[i], listed[j], sizeof listed[i]) != 0);
  }
}

int wmain(int argc, wchar_t **argv) {
  wchar_t folder[MAX_PATH];
  size_t base;
  int i, attempt;
  if (argc < 2) return 2;
  dll = LoadLibraryW(argv[1]);
  if (dll == NULL) {
    printf("c_loader: cannot load the DLL (error %lu)\n", GetLastError());
    return 1;
  }
  for (i = 0; i < 23; ++i) Find(kExports[i]);
  if (failures != 0) return failures;
  if (argc == 4 && wcscmp(argv[2], L"child") == 0) return RunChild(_wtoi(argv[3]));

  /* Process ids repeat from one Wine session to the next, and a folder an
     earlier run left behind still holds its tasks: a name is taken only
     when its folder is new. */
  GetTempPathW(MAX_PATH, folder);
  base = wcslen(folder);
  for (attempt = 0;; ++attempt) {
    swprintf(folder + base, 64, L"orx-c-loader-%lu-%d", GetCurrentProcessId(), attempt);
    if (CreateDirectoryW(folder, NULL)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS || attempt == 1000) {
      printf("c_loader: cannot create a fresh data folder (error %lu)\n", GetLastError());
      return 1;
    }
  }
  SetEnvironmentVariableW(L"ORX_DATA_FOLDER", folder);
  CHECK(((LifecycleFn)Find("orxPropertyInitLibrary"))() == ORX_STATUS_SUCCESS);

  CheckStatusesAndBuffers();
  CheckTasks();
  {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(NULL, self, MAX_PATH);
    CheckProcessesCreatingAtOnce(self, argv[1]);
  }
  CHECK(((LifecycleFn)Find("orxPropertyFreeLibrary"))() == ORX_STATUS_SUCCESS);
  CHECK(FreeLibrary(dll));
  printf("c_loader: %d failures\n", failures);
  return failures;
}
