// Two scans of ADIF files compared field by field, the operators in order.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/cli/adif_scan.h"

namespace quillet::host {

inline void ExpectSameScan(const AdifScan& actual, const AdifScan& expected, const std::string& context) {
  EXPECT_EQ(actual.records, expected.records) << context;
  ASSERT_EQ(actual.operators.size(), expected.operators.size()) << context;
  for (std::size_t i = 0; i < actual.operators.size(); ++i) {
    EXPECT_EQ(actual.operators[i].call, expected.operators[i].call) << context;
    EXPECT_EQ(actual.operators[i].records, expected.operators[i].records) << context;
  }
}

}  // namespace quillet::host
