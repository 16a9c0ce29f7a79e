// The parts of a path: one implementation, with the delimiters of the
// platform it runs on.
#include <gtest/gtest.h>

#include <string_view>

#include "platform/files.h"

namespace quillet {
namespace {

struct PathRow {
  std::u16string_view path, name, dir, folder, ext;
};

// Both slashes split everywhere (a name may come from either system); only
// Windows splits at a drive's colon.
constexpr PathRow kRows[] = {
    {u"C:\\data\\log.adi", u"log.adi", u"C:\\data", u"C:\\data\\", u".adi"},
    {u"C:/data/log.v2.adif", u"log.v2.adif", u"C:/data", u"C:/data/", u".adif"},
    {u"C:\\data.d\\log", u"log", u"C:\\data.d", u"C:\\data.d\\", u""},
    {u"/data.d/log", u"log", u"/data.d", u"/data.d/", u""},
    {u"log", u"log", u"", u"", u""},
#ifdef _WIN32
    {u"C:log.adi", u"log.adi", u"C:", u"C:", u".adi"},
#else
    {u"C:log.adi", u"C:log.adi", u"", u"", u".adi"},
#endif
};

#ifdef _WIN32
constexpr char16_t kDelimiter = u'\\';
#else
constexpr char16_t kDelimiter = u'/';
#endif

TEST(Files, PathPartsByThePlatformsDelimiters) {
  EXPECT_EQ(PathDelimiter(), kDelimiter);
  for (const PathRow& row : kRows) {
    EXPECT_EQ(ExtractFileName(row.path), row.name);
    EXPECT_EQ(ExtractFileDir(row.path), row.dir);
    EXPECT_EQ(ExtractFilePath(row.path), row.folder);
    EXPECT_EQ(ExtractFileExt(row.path), row.ext);
  }
}

}  // namespace
}  // namespace quillet
