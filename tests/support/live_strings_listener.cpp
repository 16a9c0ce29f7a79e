// Fails every test that ends with more (or fewer) live BSTRs than it began
// with: strings crossing the boundary must have exactly one owner.
#include <gtest/gtest.h>

#include <quillet/ole.h>

namespace {

#ifdef _WIN32
// oleaut32 caches strings and keeps no count we can read.
std::int64_t LiveStrings() { return 0; }
#else
std::int64_t LiveStrings() { return QuilletOleLiveStrings(); }
#endif

class LiveStringsListener : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { before_ = LiveStrings(); }
  void OnTestEnd(const testing::TestInfo&) override {
    EXPECT_EQ(LiveStrings(), before_) << "BSTRs leaked or freed twice";
  }
  std::int64_t before_ = 0;
};

const bool registered = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new LiveStringsListener);
  return true;
}();

}  // namespace
