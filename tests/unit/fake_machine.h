// Every test starts on a fresh simulated machine.
#pragma once

#include <gtest/gtest.h>

#include "console_expect.h"
#include "platform/fake/fake.h"

class fresh_machine : public ::testing::Test {
 protected:
  void SetUp() override { fake::reset(); }
};
