// Everything a data folder answers, read once: the general and module
// settings, each provider file's settings, and the task list in slot order
// with each task's properties. Each value records whether it is stored and,
// for a stored one, the text as stored (a label reference stays "*@1000",
// with the text it shows beside it). dump prints it, import reproduces it,
// watch compares two of them.
#ifndef ORX_TOOLS_CLI_FOLDER_MODEL_H_
#define ORX_TOOLS_CLI_FOLDER_MODEL_H_

#include <string>
#include <utility>
#include <vector>

#include "cli.h"

namespace orx::cli {

struct ModelValue {
  Property property;
  bool stored = false;
  std::string value;  // as stored, or as a read answers when not stored
  std::string shown;  // what a read shows, where it differs from `value`
};
using ModelValues = std::vector<ModelValue>;

struct ModelTask {
  int32_t slot = 0;
  std::string id;
  ModelValues properties;
};

struct FolderModel {
  ModelValues settings;
  std::vector<std::pair<std::string, ModelValues>> providers;  // by provider name
  std::vector<ModelTask> tasks;                                // in slot order
};

// Reads the values of `scope`'s classes (general and module settings, one
// task's properties, or one provider's settings). Returns 0 or a status.
int32_t ReadScope(const Scope& scope, ModelValues& out);

// The task list as the main file holds it: each slot with an id, in slot
// order (the first key of a slot number is the one reads see). Returns 0 or
// a status.
int32_t ReadTaskList(std::vector<std::pair<int32_t, std::string>>& slots);

// Reads the whole folder. Returns 0 or a status, with `failed` naming what
// could not be read.
int32_t ReadFolder(FolderModel& out, std::string& failed);

// The providers that have a file in the data folder: every "*.ini" but the
// main file (a module's file may hold a provider's settings too), by name
// without ".ini", sorted.
std::vector<std::string> ProviderFiles();

// A value as JSON: an integer setting's clean integer as a number.
Json ValueAsJson(const Property& property, const std::string& text);

// The JSON form of values, of a task, and of a whole folder (the dump form).
Json ToJson(const ModelValues& values);
Json ToJson(const FolderModel& model);

// The JSON dump form's name and version.
inline constexpr const char* kDumpFormat = "orxprop-dump";
inline constexpr int kDumpVersion = 1;

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_FOLDER_MODEL_H_
