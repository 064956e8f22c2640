// A fixture that gives each test a fresh scripted Windows.
#pragma once

#include <gtest/gtest.h>

#include "FakePlatform.h"

class FakeWindowsTest : public ::testing::Test {
 protected:
  FakeWindowsTest() { fake::Reset(); }
  fake::Windows& windows = fake::World();
};
