// GUIDs on Windows: CoCreateGuid, and StringFromGUID2 for the registry text
// (upper-case, braced, 38 characters). The component runtime is initialised
// for the calling thread only while one is made, and only when the thread
// had not initialised it itself; a thread that uses another apartment model
// keeps its own.
#include <objbase.h>
#include "platform/win32/windows_api.h"

#include "platform/guid.h"
#include "platform/win32/win32_util.h"

namespace orx::platform {
namespace {

class ComForThisCall {
 public:
  ComForThisCall() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComForThisCall() {
    if (SUCCEEDED(result_)) CoUninitialize();  // S_FALSE too: it counted
  }
  ComForThisCall(const ComForThisCall&) = delete;
  ComForThisCall& operator=(const ComForThisCall&) = delete;

 private:
  const HRESULT result_;
};

class Win32GuidGenerator final : public GuidGenerator {
 public:
  Result<GuidText> NewGuid() override {
    ComForThisCall com;
    GUID guid;
    if (HRESULT result = CoCreateGuid(&guid); FAILED(result)) {
      return win32::StatusFromHresult(result);
    }
    wchar_t text[kGuidTextLength + 1];
    if (StringFromGUID2(guid, text, kGuidTextLength + 1) != kGuidTextLength + 1) {
      return Status::kGenFailure;
    }
    GuidText out{};
    for (size_t i = 0; i < kGuidTextLength; ++i) out[i] = static_cast<char16_t>(text[i]);
    return out;
  }
};

}  // namespace

GuidGenerator& DefaultGuidGenerator() {
  static GuidGenerator* const generator = new Win32GuidGenerator;
  return *generator;
}

}  // namespace orx::platform
