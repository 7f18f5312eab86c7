// The all-or-nothing edit of settings files, over the store's edit cycle and
// the document's own edits (so refusals are the engine's).
#include "edit_plan.h"

#include "base/utf.h"
#include "library_rules.h"
#include "platform/ini/document.h"
#include "platform/profile_store.h"
#include "status_text.h"

namespace orx::cli {
namespace {

using platform::ini::Document;

std::u16string PathOf(const std::string& file) { return ToUtf16(SettingsPath(file)); }

}  // namespace

void EditPlan::Set(const std::string& file, const std::u16string& section,
                   const std::u16string& key, const std::u16string& value,
                   const std::string& what) {
  edits_[file].push_back({Edit::Kind::kSet, section, key, value, what});
}

void EditPlan::Remove(const std::string& file, const std::u16string& section,
                      const std::u16string& key, const std::string& what) {
  edits_[file].push_back({Edit::Kind::kRemove, section, key, u"", what});
}

void EditPlan::RemoveSection(const std::string& file, const std::u16string& section,
                             const std::string& what) {
  edits_[file].push_back({Edit::Kind::kRemoveSection, section, u"", u"", what});
}

std::vector<std::string> EditPlan::files() const {
  std::vector<std::string> names;
  for (const auto& [file, edits] : edits_) names.push_back(file);
  return names;
}

int32_t EditPlan::Check(std::string& error) const {
  platform::ProfileStore& store = platform::DefaultProfileStore();
  for (const auto& [file, edits] : edits_) {
    const Result<platform::Snapshot> loaded = store.Load(PathOf(file));
    if (!loaded.ok()) {
      error = "cannot read " + SettingsPath(file) + ": " + FormatStatus(ToAbi(loaded.status()));
      return ToAbi(loaded.status());
    }
    Document copy = **loaded;
    for (const Edit& edit : edits) {
      Status status = Status::kOk;
      switch (edit.kind) {
        case Edit::Kind::kSet:
          status = copy.SetValue(edit.section, edit.key, edit.value);
          break;
        case Edit::Kind::kRemove:
          status = copy.DeleteKey(edit.section, edit.key);
          break;
        case Edit::Kind::kRemoveSection:
          status = copy.DeleteSection(edit.section);
          break;
      }
      if (!IsOk(status)) {
        error = edit.what + ": " +
                EditRefusalReason(edit.section, edit.key, edit.value, ToAbi(status)) + " (" +
                std::to_string(ToAbi(status)) + ", " + StatusNameOf(ToAbi(status)) + ")";
        return ToAbi(status);
      }
    }
  }
  return 0;
}

int32_t EditPlan::Apply(std::string& error) {
  if (const int32_t status = Check(error); status != 0) return status;
  platform::ProfileStore& store = platform::DefaultProfileStore();
  // What each written file held before, as edits that put it back.
  std::vector<std::pair<std::string, std::vector<Edit>>> undo;
  // Plain loop variables rather than structured bindings: lambdas below
  // capture them, which clang before 16 does not allow for bindings.
  for (const auto& file_edits : edits_) {
    const std::string& file = file_edits.first;
    const std::vector<Edit>& edits = file_edits.second;
    std::vector<Edit> restore;
    const Status status = store.Edit(PathOf(file), [&](Document& document) {
      restore.clear();
      for (const Edit& edit : edits) {
        if (edit.kind == Edit::Kind::kRemoveSection) {
          document.ForEachEntry(edit.section, [&](const platform::ini::SectionEntry& entry) {
            if (entry.has_equals) {
              restore.push_back({Edit::Kind::kSet, edit.section, entry.key.ToU16(),
                                 platform::ini::ReadForm(entry.raw_value).ToU16(), ""});
            }
            return true;
          });
        } else if (const auto old = document.FindValue(edit.section, edit.key)) {
          restore.push_back({Edit::Kind::kSet, edit.section, edit.key, old->ToU16(), ""});
        } else {
          restore.push_back({Edit::Kind::kRemove, edit.section, edit.key, u"", ""});
        }
        Status step = Status::kOk;
        if (edit.kind == Edit::Kind::kSet)
          step = document.SetValue(edit.section, edit.key, edit.value);
        if (edit.kind == Edit::Kind::kRemove) step = document.DeleteKey(edit.section, edit.key);
        if (edit.kind == Edit::Kind::kRemoveSection) step = document.DeleteSection(edit.section);
        if (!IsOk(step)) return step;
      }
      return Status::kOk;
    });
    if (!IsOk(status)) {
      error = "cannot write " + SettingsPath(file) + ": " + FormatStatus(ToAbi(status));
      // Later edits of one file undo earlier ones, so restore in reverse.
      for (const auto& written_edits : undo) {
        const std::vector<Edit>& restore_edits = written_edits.second;
        IgnoreStatus(store.Edit(PathOf(written_edits.first), [&](Document& document) {
          for (auto edit = restore_edits.rbegin(); edit != restore_edits.rend(); ++edit) {
            IgnoreStatus(edit->kind == Edit::Kind::kSet
                             ? document.SetValue(edit->section, edit->key, edit->value)
                             : document.DeleteKey(edit->section, edit->key));
          }
          return Status::kOk;
        }));
      }
      return ToAbi(status);
    }
    undo.emplace_back(file, std::move(restore));
  }
  return 0;
}

}  // namespace orx::cli
