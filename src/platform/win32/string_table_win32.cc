// Language modules on Windows: resource DLLs read into string tables, and
// the choice among them: ORX_LANGUAGE_MODULE (read at each selection), else
// the user's interface language (GetUserDefaultUILanguage) from the "lang"
// folder beside orxProperty.dll, else the English strings built into the
// library's own resources.
#include "platform/win32/string_table_win32.h"

#include <map>
#include <mutex>
#include <optional>

#include "base/utf.h"
#include "platform/file_system.h"
#include "platform/win32/win32_util.h"

namespace orx::platform {
namespace win32 {
namespace {

// The module this code lives in: orxProperty.dll, or the program that links
// the library statically.
HMODULE OwnModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&OwnModule), &module);
  return module;
}

// One "ID=TEXT" line of the table format, escaped so it parses back as is.
void AppendLine(std::u16string& text, uint32_t id, std::wstring_view value) {
  for (const wchar_t c : std::to_wstring(id)) text.push_back(static_cast<char16_t>(c));
  text.push_back(u'=');
  for (const wchar_t c : value) {
    if (c == L'\\') {
      text += u"\\\\";
    } else if (c == L'\n') {
      text += u"\\n";
    } else if (c == L'\t') {
      text += u"\\t";
    } else {
      text.push_back(static_cast<char16_t>(c));
    }
  }
  text.push_back(u'\n');
}

BOOL CALLBACK CollectBlock(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR blocks) {
  if (IS_INTRESOURCE(name)) {
    reinterpret_cast<std::vector<uint32_t>*>(blocks)->push_back(
        static_cast<uint32_t>(reinterpret_cast<uintptr_t>(name)));
  }
  return TRUE;
}

std::string Utf8Path(const std::wstring& path) {
  return EncodePath(std::u16string(path.begin(), path.end()));
}

std::shared_ptr<const StringTable> EmptyTable() {
  static const auto* const table =
      new std::shared_ptr<const StringTable>(std::make_shared<const StringTable>());
  return *table;
}

class BuiltinModule final : public LanguageModule {
 public:
  std::shared_ptr<const StringTable> Table() const override {
    static const auto* const table = new std::shared_ptr<const StringTable>(
        std::make_shared<const StringTable>(ResourceStringTable(OwnModule())));
    return *table;
  }
  const std::string& path() const override { return path_; }

 private:
  const std::string path_;
};

class ModuleFile final : public LanguageModule {
 public:
  explicit ModuleFile(std::wstring path) : native_(std::move(path)), path_(Utf8Path(native_)) {}

  std::shared_ptr<const StringTable> Table() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    Result<FileIdentity> now = StatFile(native_);
    if (!now.ok()) {
      cached_.reset();
      return EmptyTable();
    }
    if (cached_ && !cached_->racy && cached_->identity == *now) return cached_->table;
    const int64_t read_started = NowNs();
    HMODULE module = LoadLibraryExW(native_.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) {
      cached_.reset();
      return EmptyTable();
    }
    auto table = std::make_shared<const StringTable>(ResourceStringTable(module));
    ::FreeLibrary(module);
    cached_.emplace(Cached{*now, IsRacilyClean(*now, read_started), std::move(table)});
    return cached_->table;
  }

  const std::string& path() const override { return path_; }

 private:
  struct Cached {
    FileIdentity identity;
    bool racy;
    std::shared_ptr<const StringTable> table;
  };

  const std::wstring native_;
  const std::string path_;
  mutable std::mutex mutex_;
  mutable std::optional<Cached> cached_;
};

bool IsRegularFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

class Win32LanguageModules final : public LanguageModules {
 public:
  Win32LanguageModules(std::wstring folder, std::wstring locale)
      : folder_(std::move(folder)), locale_(std::move(locale)) {}

  const LanguageModule* Select() override {
    if (auto chosen = NonEmptyEnvironment(L"ORX_LANGUAGE_MODULE")) return Intern(*chosen);
    if (folder_.empty()) return &builtin_;
    for (const std::wstring& name : LanguageDllCandidates(locale_)) {
      if (name == L"en") break;  // English is built in
      std::wstring path = folder_ + L"\\" + name + L".dll";
      if (IsRegularFile(path)) return Intern(std::move(path));
    }
    return &builtin_;
  }

 private:
  const LanguageModule* Intern(std::wstring path) {
    std::lock_guard<std::mutex> lock(modules_mutex_);
    auto it = modules_.find(path);
    if (it == modules_.end()) {
      auto module = std::make_unique<ModuleFile>(path);
      it = modules_.emplace(std::move(path), std::move(module)).first;
    }
    return it->second.get();
  }

  const std::wstring folder_;
  const std::wstring locale_;
  BuiltinModule builtin_;
  // Never shrinks: every module handed out must stay valid.
  std::mutex modules_mutex_;
  std::map<std::wstring, std::unique_ptr<ModuleFile>> modules_;
};

// "<folder of orxProperty.dll>\lang".
std::wstring InstalledLanguageFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(OwnModule(), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  path.resize(path.find_last_of(L"\\/") + 1);
  return path + L"lang";
}

std::wstring UserInterfaceLocale() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  const LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
  if (LCIDToLocaleName(locale, name, LOCALE_NAME_MAX_LENGTH, 0) == 0) return std::wstring();
  return name;
}

}  // namespace

StringTable ResourceStringTable(HMODULE module) {
  std::vector<uint32_t> blocks;
  EnumResourceNamesW(module, MAKEINTRESOURCEW(6) /* RT_STRING */, &CollectBlock,
                     reinterpret_cast<LONG_PTR>(&blocks));
  std::u16string text;
  // Block n holds the strings 16 * (n - 1) to 16 * n - 1.
  for (const uint32_t block : blocks) {
    for (uint32_t id = (block - 1) * 16; id < block * 16; ++id) {
      const wchar_t* value = nullptr;
      const int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&value), 0);
      if (length > 0) AppendLine(text, id, std::wstring_view(value, static_cast<size_t>(length)));
    }
  }
  return StringTable::Parse(EncodeUtf8(text).value_or(std::string()));
}

std::vector<std::wstring> LanguageDllCandidates(const std::wstring& locale) {
  std::vector<std::wstring> names;
  for (const wchar_t c : locale) {
    const bool safe = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
                      (c >= L'0' && c <= L'9') || c == L'-' || c == L'_';
    if (!safe) return names;
  }
  if (locale.empty()) return names;
  names.push_back(locale);
  const size_t dash = locale.find_first_of(L"-_");
  if (dash != std::wstring::npos && dash > 0) names.push_back(locale.substr(0, dash));
  return names;
}

std::unique_ptr<LanguageModules> NewWin32LanguageModules(std::wstring folder, std::wstring locale) {
  return std::make_unique<Win32LanguageModules>(std::move(folder), std::move(locale));
}

}  // namespace win32

LanguageModules& DefaultLanguageModules() {
  static LanguageModules* const modules =
      win32::NewWin32LanguageModules(win32::InstalledLanguageFolder(), win32::UserInterfaceLocale())
          .release();
  return *modules;
}

}  // namespace orx::platform
