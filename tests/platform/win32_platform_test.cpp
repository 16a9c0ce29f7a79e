// The Windows platform services: wide file names, the ANSI code page and
// the locale's date and time pictures.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "platform/win32/locale_pattern.h"

namespace quillet {
namespace {

std::u16string TempFolder() {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD length = GetTempPathW(MAX_PATH, buffer);
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), length);
}

TEST(Win32Files, WideNamesRoundTripAndFoldersAreNotFiles) {
  const std::u16string folder = TempFolder();
  const std::u16string path = folder + u"quillet \u00e9\u0416\u4e2d test.adi";
  DeleteFile(path);
  ASSERT_TRUE(WriteWholeFile(path, "<EOH>"));
  ASSERT_TRUE(AppendToFile(path, "\r\n<EOR>"));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, "<EOH>\r\n<EOR>");
  EXPECT_TRUE(FileExists(path));
  EXPECT_FALSE(DirectoryExists(path));
  EXPECT_FALSE(FileExists(folder));
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_FALSE(ReadWholeFile(folder, bytes));
  EXPECT_TRUE(DeleteFile(path));
  EXPECT_FALSE(DeleteFile(path));
  EXPECT_FALSE(FileExists(path));
  EXPECT_FALSE(FileExists(u""));
}

TEST(Win32TextCodec, AnsiCodePageWithItsDefaultCharacter) {
  EXPECT_EQ(AnsiToUtf16("K1ABC"), u"K1ABC");
  EXPECT_EQ(Utf16ToAnsi(u""), "");
  // A character every single-byte code page lacks becomes the default one.
  char defaultChar[2] = {};
  CPINFO info{};
  ASSERT_NE(GetCPInfo(CP_ACP, &info), 0);
  defaultChar[0] = static_cast<char>(info.DefaultChar[0]);
  if (info.MaxCharSize == 1) {
    EXPECT_EQ(Utf16ToAnsi(u"A\u4e2d\u0416B"), std::string("A") + defaultChar + defaultChar + "B");
  }
  const std::string bytes = Utf16ToAnsi(u"caf\u00e9");
  EXPECT_EQ(AnsiToUtf16(bytes), GetACP() == 1252 ? u"caf\u00e9" : AnsiToUtf16(bytes));
  // A single-byte page is cut anywhere, the others after a byte below 0x40.
  EXPECT_EQ(AnsiWholeCharacters("a<b\x82"), info.MaxCharSize == 1 ? 4u : 2u);
}

TEST(Win32Clock, LocalePicturesInTheRuntimeLetters) {
  struct Row {
    std::u16string_view picture, pattern;
  };
  const Row rows[] = {
      {u"yyyy-MM-dd", u"yyyy-mm-dd"}, {u"M/d/yyyy", u"m/d/yyyy"}, {u"dd.MM.yy", u"dd.mm.yy"},
      {u"HH:mm", u"hh:nn"},           {u"HH:mm:ss", u"hh:nn:ss"}, {u"h:mm tt", u"h:nn"},
      {u"tt h:mm", u"h:nn"},          {u"H' h 'mm", u"h' h 'nn"}, {u"", u""},
  };
  for (const Row& row : rows) EXPECT_EQ(win32::RuntimePattern(row.picture), row.pattern) << "picture: ";
  const ShortFormats& formats = LocaleShortFormats();
  EXPECT_NE(formats.date.find(u'y'), std::u16string::npos);
  EXPECT_NE(formats.time.find(u'n'), std::u16string::npos);
}

TEST(Win32Clock, NowIsTodayAndTheTickCountAdvances) {
  SYSTEMTIME local{};
  GetLocalTime(&local);
  const TDateTime now = Now();
  EXPECT_NEAR(now,
              EncodeDate(local.wYear, local.wMonth, local.wDay) +
                  EncodeTime(local.wHour, local.wMinute, local.wSecond, local.wMilliseconds),
              2.0 / 86400);
  // The system's tick count, not a clock of our own: it moves with Sleep.
  const std::uint32_t first = TickCount();
  Sleep(50);
  EXPECT_GT(TickCount() - first, 0u);
}

}  // namespace
}  // namespace quillet
