// A fixture that gives each test a fresh scripted Windows.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "FakePlatform.h"

class FakeWindowsTest : public ::testing::Test {
 protected:
  FakeWindowsTest() { fake::Reset(); }
  // How many recorded calls begin with prefix, e.g. "RegCloseKey(".
  long CallsStartingWith(const std::string& prefix) const {
    return std::count_if(windows.calls.begin(), windows.calls.end(),
                         [&](const std::string& call) { return call.starts_with(prefix); });
  }

  fake::Windows& windows = fake::World();
};
