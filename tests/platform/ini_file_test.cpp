#include "platform/portable/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/files.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("quillet_ini_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(folder_);
    path_ = Utf8ToUtf16((folder_ / "host.ini").string());
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void Store(std::string_view bytes) { ASSERT_TRUE(WriteWholeFile(path_, bytes)); }
  std::string Stored() {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path_, bytes));
    return bytes;
  }

  std::filesystem::path folder_;
  std::u16string path_;
};

TEST_F(IniFileTest, WritesKeepOtherSectionsKeysAndComments) {
  Store("; host settings\n[Main]\nTheme=Dark\n\n[adif import]\nadif=old.adi\nOther = 5\n\n[Last]\nX=1\n");
  IniFile ini(path_);
  ini.WriteString(u"ADIF Import", u"ADIF", u"/data/log.adi");
  ini.WriteInteger(u"ADIF Import", u"Corr", -1);
  EXPECT_EQ(
      Stored(),
      "; host settings\r\n[Main]\r\nTheme=Dark\r\n\r\n[adif import]\r\nADIF=/data/log.adi\r\nOther = 5\r\n"
      "Corr=-1\r\n\r\n[Last]\r\nX=1\r\n");

  IniFile reread(path_);
  EXPECT_EQ(reread.ReadString(u"Adif Import", u"adif", u""), u"/data/log.adi");
  EXPECT_EQ(reread.ReadInteger(u"ADIF Import", u"CORR", 0), -1);
  EXPECT_EQ(reread.ReadInteger(u"ADIF Import", u"Other", 0), 5);
  EXPECT_EQ(reread.ReadString(u"Main", u"Theme", u""), u"Dark");
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesDefaultsAndWriteCreatesFile) {
  IniFile ini(path_);
  EXPECT_EQ(ini.ReadString(u"ADIF Import", u"ADIF", u"none"), u"none");
  EXPECT_EQ(ini.ReadInteger(u"ADIF Import", u"Corr", 7), 7);
  ini.WriteString(u"ADIF Import", u"ADIF", u"");
  EXPECT_EQ(Stored(), "[ADIF Import]\r\nADIF=\r\n");
}

TEST_F(IniFileTest, ReadsTheFileOnceUntilPointedAgain) {
  Store("[S]\nK=first\n");
  IniFile ini(path_);
  EXPECT_EQ(ini.ReadString(u"S", u"K", u""), u"first");
  Store("[S]\nK=second\n");
  EXPECT_EQ(ini.ReadString(u"S", u"K", u""), u"first");
  ini.SetFileName(path_);
  EXPECT_EQ(ini.ReadString(u"S", u"K", u""), u"second");
}

TEST_F(IniFileTest, ValuesAndIntegers) {
  Store("[S]\nQuoted = \"a b\" \nHex=$1F\nHex2=0x10\nBad=12x\nBig=2147483648\nMin=-2147483648\n");
  IniFile ini(path_);
  EXPECT_EQ(ini.ReadString(u"S", u"Quoted", u""), u"a b");
  EXPECT_EQ(ini.ReadInteger(u"S", u"Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger(u"S", u"Hex2", 0), 16);
  EXPECT_EQ(ini.ReadInteger(u"S", u"Bad", 3), 3);
  EXPECT_EQ(ini.ReadInteger(u"S", u"Big", 3), 3);
  EXPECT_EQ(ini.ReadInteger(u"S", u"Min", 3), -2147483647 - 1);
}

TEST_F(IniFileTest, WritesInTheAnsiCodePage) {
  Store(
      "[S]\nName=Ordo\xD1"
      "ez\n");  // Windows-1252 byte, not UTF-8
  IniFile ini(path_);
  EXPECT_EQ(ini.ReadString(u"S", u"Name", u""), u"OrdoÑez");
  ini.WriteString(u"S", u"Path", u"/data/ñ.adi");
  IniFile reread(path_);
  EXPECT_EQ(reread.ReadString(u"S", u"Name", u""), u"OrdoÑez");
  EXPECT_EQ(reread.ReadString(u"S", u"Path", u""), u"/data/ñ.adi");
}

TEST_F(IniFileTest, UnwritableFileRaisesInOutError) {
  IniFile ini(Utf8ToUtf16((folder_ / "missing" / "host.ini").string()));
  try {
    ini.WriteInteger(u"S", u"K", 1);
    FAIL() << "no exception";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.Message.substr(0, 19), u"Unable to write to ");
  }
}

}  // namespace
}  // namespace quillet
