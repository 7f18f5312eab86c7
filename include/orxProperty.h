/*
 * orxProperty.h: the public interface of the orxProperty settings library.
 *
 * A setting is named by a 32-bit property identifier: the property class in
 * the high 16 bits (exactly one of bits 16 to 26), the index in that class's
 * catalogue table in the low 16 bits. The library maps it to an INI file in
 * the product's data folder, a section, a key and a default value.
 *
 * Conventions shared by every export:
 *   - Every export returns a status: 0 on success, otherwise a Win32 error
 *     number (the ORX_STATUS_* values below, or what the system reported for
 *     a failed file operation). Nothing is logged and nothing is thrown.
 *   - Out-values are cleared right after the pointer checks: a text buffer's
 *     first character becomes 0, an integer becomes 0, a handle becomes NULL.
 *     A call refused after that leaves an empty text, 0 or no handle.
 *   - Capacities passed in count UTF-16 code units including the terminator;
 *     lengths passed out count them without it. Text that does not fit a
 *     buffer is cut and zero-terminated; only task-id buffers are refused
 *     with ORX_STATUS_INSUFFICIENT_BUFFER when too small.
 *   - Every export may be called from any thread once
 *     orxPropertyInitLibrary has returned.
 *
 * Usable from C99 and C++.
 */
#ifndef ORX_PROPERTY_H_
#define ORX_PROPERTY_H_

/* The version of this interface; the build checks it against the project's. */
#define ORX_PROPERTY_VERSION_MAJOR 1
#define ORX_PROPERTY_VERSION_MINOR 1
#define ORX_PROPERTY_VERSION_PATCH 0

#include <stdint.h>
#if defined(_WIN32)
typedef wchar_t orxChar; /* one UTF-16 code unit */
#elif defined(__cplusplus)
typedef char16_t orxChar; /* one UTF-16 code unit */
#else
#include <uchar.h>
typedef char16_t orxChar;
#endif
typedef struct orxTaskQuery* orxQuery; /* opaque enumeration handle */

/* Windows: callers import the exports from orxProperty.dll; only the DLL's
 * own build (ORX_BUILDING_DLL) exports them, and programs linking the
 * library's objects themselves (ORX_STATIC) do neither. 32-bit Windows calls
 * them with __stdcall, as the platform's own API; ORX_CALL is empty
 * everywhere else. */
#if defined(_WIN32)
#if defined(ORX_BUILDING_DLL)
#define ORX_API __declspec(dllexport)
#elif defined(ORX_STATIC)
#define ORX_API
#else
#define ORX_API __declspec(dllimport)
#endif
#if defined(_M_IX86) || defined(__i386__)
#define ORX_CALL __stdcall
#else
#define ORX_CALL
#endif
#elif defined(__GNUC__)
#define ORX_API __attribute__((visibility("default")))
#define ORX_CALL
#else
#define ORX_API
#define ORX_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Status values the library produces itself. Failed file operations return
 * the system's error number instead (2 file not found, 3 path not found,
 * 5 access denied, 112 disk full, 206 path too long, 1113 no mapping for a
 * Unicode character, and the like). */
#define ORX_STATUS_SUCCESS 0                /* the operation was carried out */
#define ORX_STATUS_NOT_ENOUGH_MEMORY 8      /* an enumeration record could not be allocated */
#define ORX_STATUS_INVALID_PARAMETER 87     /* a null pointer, an unknown identifier, a bad name */
#define ORX_STATUS_INSUFFICIENT_BUFFER 122  /* a task-id buffer holds fewer than 39 units */
#define ORX_STATUS_NO_MORE_ITEMS 259        /* an enumeration has passed the last task */
#define ORX_STATUS_FILENAME_EXCED_RANGE 206 /* the data folder or a settings path is too long */

/* Property classes: the high half of a property identifier. */
#define ORX_CLASS_GENERAL 0x00010000u    /* product-wide settings, 124 entries */
#define ORX_CLASS_TASK 0x00020000u       /* properties of one scan task, 46 entries */
#define ORX_CLASS_EMAIL 0x00040000u      /* e-mail protection module, 20 entries */
#define ORX_CLASS_FILESYSTEM 0x00080000u /* file system protection module, 17 entries */
#define ORX_CLASS_P2P 0x00100000u        /* peer-to-peer protection module, 32 entries */
#define ORX_CLASS_IM 0x00200000u         /* instant-messaging protection module, 24 entries */
#define ORX_CLASS_WEB 0x00400000u        /* web protection module, 13 entries */
#define ORX_CLASS_NETWORK 0x00800000u    /* network protection module, 3 entries */
#define ORX_CLASS_SCRIPT 0x01000000u     /* script protection module, 1 entry */
#define ORX_CLASS_ANTISPAM 0x02000000u   /* anti-spam module, 17 entries */
#define ORX_CLASS_PROVIDER 0x04000000u   /* per-provider settings, 19 entries */

/* ---- Lifecycle ---------------------------------------------------------- */

/* Computes the data folder (ORX_DATA_FOLDER, else $XDG_DATA_HOME/ormix, else
 * $HOME/.local/share/ormix) and keeps it with one '/' appended. Call it once
 * before the other exports; a second call recomputes the folder the same way.
 * A folder of 259 characters or more is kept as unusable: every operation
 * that needs a settings path then returns ORX_STATUS_FILENAME_EXCED_RANGE and
 * touches no file. Always returns 0. */
ORX_API int32_t ORX_CALL orxPropertyInitLibrary(void);

/* Waits until an orxPropertyInitLibrary running on another thread has
 * finished, and does nothing else: the data folder stays, and every export
 * keeps working afterwards. Always returns 0. */
ORX_API int32_t ORX_CALL orxPropertyFreeLibrary(void);

/* ---- Property reads ------------------------------------------------------ */

/* Reads setting `id` into `buffer` (capacity `size`, at least 1), cut to
 * size-1 units and zero-terminated; the catalogue default when the file,
 * section or key is missing. Returns 0, or 87 when `buffer` is null, `id`
 * does not resolve, or `id` is a provider setting (which needs a provider
 * name); the buffer is then empty (unless null). */
ORX_API int32_t ORX_CALL orxGetProperty(uint32_t id, orxChar* buffer, uint32_t size);

/* Reads setting `id` as a decimal integer into `*value` (leading blanks, an
 * optional sign, digits up to the first other character; 0 without digits;
 * saturated at the 32-bit bounds). Returns 0, or 87 when `value` is null
 * (nothing touched), or `id` is refused as for orxGetProperty (`*value` 0). */
ORX_API int32_t ORX_CALL orxGetPropertyInt(uint32_t id, int32_t* value);

/* As orxGetProperty, but the section read is the task's own (named by the
 * task id `task`); with a null `task` exactly orxGetProperty. A task's Label
 * or Comment stored as a reference to a localized string ("*@" and its
 * number) comes back as the text of that string in the current language
 * module; a reference that names no string comes back as stored. */
ORX_API int32_t ORX_CALL orxGetTaskProperty(const orxChar* task, uint32_t id, orxChar* buffer,
                                            uint32_t size);

/* As orxGetPropertyInt, in the section of task `task`. */
ORX_API int32_t ORX_CALL orxGetTaskPropertyInt(const orxChar* task, uint32_t id, int32_t* value);

/* Reads a provider setting from the file `provider`.ini in the data folder,
 * with the provider-specific defaults; for identifiers outside the provider
 * class the name is ignored and the setting is read as orxGetProperty does.
 * Returns 87 for a null `buffer`, an unknown `id`, a provider setting with a
 * null `provider`, or a provider name that could leave the data folder or
 * name no file (empty, ".", "..", or holding '/', '\\', ':' or a control
 * character); the buffer is then empty. */
ORX_API int32_t ORX_CALL orxGetProviderProperty(const orxChar* provider, uint32_t id,
                                                orxChar* buffer, uint32_t size);

/* As orxGetProviderProperty, as an integer (see orxGetPropertyInt). */
ORX_API int32_t ORX_CALL orxGetProviderPropertyInt(const orxChar* provider, uint32_t id,
                                                   int32_t* value);

/* ---- Property writes ----------------------------------------------------- */

/* Stores `value` as setting `id`, creating the file, section and key as
 * needed; every other byte of the file stays as it was, and the file is
 * replaced atomically. Returns 0; 87 for a null `value`, an unknown `id`, a
 * provider setting, or a value holding a line break (nothing is written);
 * 1113 for a value holding a lone surrogate; otherwise the system's error
 * number for a failed write (3 missing folder, 5 access denied, 112 disk
 * full, ...), with the file unchanged. */
ORX_API int32_t ORX_CALL orxSetProperty(uint32_t id, const orxChar* value);

/* As orxSetProperty, storing the decimal text of `value`. */
ORX_API int32_t ORX_CALL orxSetPropertyInt(uint32_t id, int32_t value);

/* As orxSetProperty, in the section of task `task` (null: orxSetProperty).
 * A Label or Comment equal to one of the localized strings 1000, 1001, ...
 * (the unbroken run of non-empty strings) is stored as a reference to the
 * lowest such string. A task id holding ']' or a line break is refused
 * with 87. */
ORX_API int32_t ORX_CALL orxSetTaskProperty(const orxChar* task, uint32_t id, const orxChar* value);

/* As orxSetTaskProperty, storing the decimal text of `value`. */
ORX_API int32_t ORX_CALL orxSetTaskPropertyInt(const orxChar* task, uint32_t id, int32_t value);

/* Stores a provider setting in `provider`.ini; for identifiers outside the
 * provider class the name is ignored (see orxSetProperty). A provider
 * setting with a null `provider`, or an unsafe provider name (see
 * orxGetProviderProperty), is refused with 87 before anything else. */
ORX_API int32_t ORX_CALL orxSetProviderProperty(const orxChar* provider, uint32_t id,
                                                const orxChar* value);

/* As orxSetProviderProperty, storing the decimal text of `value`. */
ORX_API int32_t ORX_CALL orxSetProviderPropertyInt(const orxChar* provider, uint32_t id,
                                                   int32_t value);

/* ---- Task list ----------------------------------------------------------- */

/* Lists a task in the first free slot (Task1, Task2, ... of section Scanner
 * in ormix5.ini; slots 1 to 10000). The slot is found and written under the
 * file's writer lock, so concurrent creations never take the same slot.
 *   - `idLength` given (new task): makes a new GUID, writes its 38-character
 *     text "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" into `idBuffer` and 38
 *     into `*idLength`. `*idLength` is the capacity on entry: below 39 gives
 *     122 with `*idLength` 38 and `idBuffer` empty, and nothing is listed.
 *   - `idLength` null (registration): lists the id in `idBuffer` unless some
 *     key of Scanner already holds it (in any letter case); returns 0 then
 *     too. An empty id gives 87.
 * Returns 87 for a null `idBuffer` or an id the file cannot hold (a line
 * break); a failed write returns the system's error number, and a GUID that
 * cannot be made the random source's (a new task then leaves `idBuffer`
 * empty and lists nothing). When all 10000 slots are taken, returns 259 and
 * lists nothing. */
ORX_API int32_t ORX_CALL orxCreateTask(orxChar* idBuffer, uint32_t* idLength);

/* Marks task `task` deleted (its Deleted property becomes "1"); the task
 * stays listed. Returns 0, 87 for a null `task`, or the system's error
 * number for a failed write. */
ORX_API int32_t ORX_CALL orxDeleteTask(const orxChar* task);

/* Removes key `slotKey` (such as "Task3") from section Scanner and the
 * whole section of task `task`, in one atomic replacement of the file, as an
 * enumeration delivers the two names; whether the slot held that task is not
 * checked, and a missing key or section is no error. Returns 0; 87 for a
 * null name or one the file cannot hold (a line break, '=' in the key, ']'
 * in the section), with nothing removed; or the system's error number for a
 * failed write, with nothing removed. */
ORX_API int32_t ORX_CALL orxDeleteTaskDefinition(const orxChar* slotKey, const orxChar* task);

/* Copies the text "6666" into `buffer`, filling the rest of its `capacity`
 * units with zeros (a capacity of 4 or less leaves it unterminated). `name`
 * is not examined. Returns 0, or 87 for a null `buffer`. */
ORX_API int32_t ORX_CALL orxFindTaskByName(const orxChar* name, orxChar* buffer, uint32_t capacity);

/* ---- Task enumeration ---------------------------------------------------- */

/* Opens an enumeration of the task list and delivers slot 1: its task id in
 * `idBuffer` (cut to idCapacity-1) and, when `keyBuffer` is given, its key
 * name "Task1" (bounded copy of `keyCapacity` units, rest zero-filled). The
 * handle in `*query` points at both buffers: keep them alive and unmoved
 * until orxCloseQuery. Returns 0; 87 for a null `idBuffer` (nothing touched)
 * or null `query`; 122 when `idCapacity` is 38 or less (`*query` NULL,
 * `idBuffer` untouched); 259 when slot 1 is free; 8 when no record can be
 * allocated. On every failure after the pointer checks `*query` is NULL. */
ORX_API int32_t ORX_CALL orxGetFirstTask(orxQuery* query, orxChar* idBuffer, uint32_t idCapacity,
                                         orxChar* keyBuffer, uint32_t keyCapacity);

/* Delivers the next slot into the buffers given to orxGetFirstTask.
 * `lastSlot` 0 walks up to the first free slot (as the list stands at this
 * call); a positive `lastSlot` delivers every slot up to it, free ones with
 * an empty id; a negative one ends the walk. Returns 0; 259 when the walk has
 * ended (the id buffer is emptied, and a later call may deliver again if the
 * list grew); 87 for a null handle, or one that is closed or never came from
 * orxGetFirstTask. */
ORX_API int32_t ORX_CALL orxGetNextTask(orxQuery query, int32_t lastSlot);

/* Frees an enumeration handle. Returns 0, or 87 for a null handle, or one
 * that is closed or never came from orxGetFirstTask. */
ORX_API int32_t ORX_CALL orxCloseQuery(orxQuery query);

/* ---- Task maintenance ---------------------------------------------------- */

/* Creates a new task (as orxCreateTask with `idLength`) and copies all 46
 * task properties of task `source` into it, in identifier order, each value
 * as a property read returns it (cut to 1023 units); a missing source gives
 * the catalogue defaults. The new Label is the localized string 41111 (up to
 * 99 units) with its first "%s" replaced by the source's label and each
 * "%%" turned into "%"; nothing else in it is interpreted, and a missing
 * string gives an empty label. The listing and all 46 keys are written in
 * one atomic replacement of the file. Returns 0 with the new id in
 * `idBuffer` and 38 in `*idLength`; 87 for a null argument; 122 when
 * `*idLength` is 38 or less (nothing touched); 259 when all 10000 slots are
 * taken; or the system's error number for a failed write. On every failure
 * after the argument checks `idBuffer` is empty and nothing is written. */
ORX_API int32_t ORX_CALL orxCopyTaskDefinition(const orxChar* source, orxChar* idBuffer,
                                               uint32_t* idLength);

/* Renumbers the listed tasks down to slots 1, 2, 3, ... in their order,
 * visiting slots up to `lastSlot` (0: up to the first free slot, and a
 * negative value: slot 1 only; neither moves anything). Ids of any length
 * move intact, and all moves are written in one atomic replacement of the
 * file; a list that needs no move is not written at all. Returns 0; 259
 * when slot 1 is free (nothing changes); 8 when memory runs out; or the
 * system's error number for a failed write (nothing changes). */
ORX_API int32_t ORX_CALL orxShrinkTasks(int32_t lastSlot);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* ORX_PROPERTY_H_ */
