// Files shared with the platform's own profile functions, both ways, for
// text the ANSI code page holds and text it does not: the same text on both
// sides, no '?', no mojibake.
#include <gtest/gtest.h>

#include <string>

#include "support/temp_data_folder.h"
#include "windows_support.h"

namespace orx::testing {
namespace {

struct TextCase {
  const char* name;
  const wchar_t* text;
  bool fits_code_page;  // Windows-1252, the code page of the test prefix
};

const TextCase kTexts[] = {
    {"Ascii", L"plain value 42", true},
    {"Accented", L"Gr\u00fc\u00dfe, caf\u00e9 \u00e0 la cr\u00e8me", true},
    {"BeyondCodePage", L"\u6f22\u5b57 \U0001F600 \u0436", false},
};

class Interop : public DataFolderTest, public ::testing::WithParamInterface<TextCase> {
 protected:
  std::wstring Path(const std::string& name) const { return Wide(folder_.File(name)); }
};

TEST_P(Interop, LibraryWritesPlatformReads) {
  const std::wstring path = Path("library.ini");
  ASSERT_TRUE(LibraryWrite(path, L"s", L"k", GetParam().text));
  EXPECT_EQ(PlatformRead(path, L"s", L"k"), GetParam().text);
  const std::string bytes = folder_.Read("library.ini");
  if (GetParam().fits_code_page) {
    EXPECT_EQ(bytes.find('?'), std::string::npos);
    EXPECT_FALSE(bytes.starts_with("\xFF\xFE")) << "a new file stays ANSI while it can";
    EXPECT_TRUE(bytes.ends_with("\r\n"));
  } else {
    EXPECT_TRUE(bytes.starts_with("\xFF\xFE")) << "text beyond the code page needs UTF-16LE";
  }
  EXPECT_FALSE(bytes.starts_with("\xEF\xBB\xBF")) << "UTF-8 is never written";
}

TEST_P(Interop, PlatformWritesLibraryReads) {
  const std::wstring path = Path("platform.ini");
  // The platform writes a new file in ANSI and turns what it cannot hold
  // into '?'; a file it is to keep in Unicode must start as UTF-16LE.
  if (!GetParam().fits_code_page) folder_.Write("platform.ini", "\xFF\xFE");
  ASSERT_TRUE(PlatformWrite(path, L"s", L"k", GetParam().text));
  EXPECT_EQ(LibraryRead(path, L"s", L"k"), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Win32, Interop, ::testing::ValuesIn(kTexts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataFolderTest, AnsiFileGivenTextBeyondTheCodePageKeepsEveryValueForThePlatform) {
  const std::wstring path = Wide(folder_.File("mixed.ini"));
  const std::wstring accented = L"Gr\u00fc\u00dfe caf\u00e9";
  const std::wstring beyond = L"\u6f22\u5b57 \U0001F600";
  ASSERT_TRUE(PlatformWrite(path, L"first", L"accented", accented));
  ASSERT_TRUE(PlatformWrite(path, L"first", L"ascii", L"plain"));
  ASSERT_FALSE(folder_.Read("mixed.ini").starts_with("\xFF\xFE"));  // the platform made ANSI

  ASSERT_TRUE(LibraryWrite(path, L"second", L"beyond", beyond));
  EXPECT_TRUE(folder_.Read("mixed.ini").starts_with("\xFF\xFE"));
  EXPECT_EQ(PlatformRead(path, L"first", L"accented"), accented);
  EXPECT_EQ(PlatformRead(path, L"first", L"ascii"), L"plain");
  EXPECT_EQ(PlatformRead(path, L"second", L"beyond"), beyond);
  // And the platform keeps writing it as UTF-16LE, which the library reads.
  ASSERT_TRUE(PlatformWrite(path, L"second", L"more", beyond));
  EXPECT_EQ(LibraryRead(path, L"second", L"more"), beyond);
  EXPECT_EQ(LibraryRead(path, L"first", L"accented"), accented);
}

}  // namespace
}  // namespace orx::testing
