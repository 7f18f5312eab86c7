// Forwards to the engine, so the frame's callers never see a platform header
// and both sides trim and fold alike by construction.
#include "frame/names.h"

#include "platform/ini/case_fold.h"
#include "platform/ini/document.h"

namespace orx::frame {
namespace {

// Every section of a SectionNameSet holds this one key, so that a lookup
// of it finds exactly the sections the set was made of.
constexpr std::u16string_view kMemberKey = u"member";

}  // namespace

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  return platform::ini::EqualsIgnoreCase(a, b);
}

bool EqualsIgnoreCaseText(platform::ini::TextView a, platform::ini::TextView b) {
  return platform::ini::EqualsIgnoreCaseText(a, b);
}

Status CheckSectionName(std::u16string_view name) {
  platform::ini::Document scratch;
  return scratch.SetValue(name, kMemberKey, u"1");
}

SectionNameSet::SectionNameSet(std::span<const std::u16string_view> names)
    : sections_(std::make_unique<platform::ini::Document>()) {
  for (const std::u16string_view name : names) {
    // A name the engine cannot write names no section a lookup could find.
    IgnoreStatus(sections_->SetValue(name, kMemberKey, u"1"));
  }
}

SectionNameSet::~SectionNameSet() = default;

bool SectionNameSet::Contains(std::u16string_view name) const {
  return sections_->FindValue(name, kMemberKey).has_value();
}

}  // namespace orx::frame
