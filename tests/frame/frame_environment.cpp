// The frame's tests run as the loaded module would: with
// SafeCallErrorHandler installed.
#include <gtest/gtest.h>

#include "frame/plugin_entry.h"

namespace {

class LoadedModule : public testing::Environment {
  void SetUp() override { quillet::ModuleLoaded(); }
  void TearDown() override { quillet::ModuleUnloading(); }
};

const auto* const environment = testing::AddGlobalTestEnvironment(new LoadedModule);

}  // namespace
