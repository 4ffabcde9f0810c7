#include "settings/SettingValue.h"
#include <gtest/gtest.h>

using namespace SettingValue;

TEST(SwitchReading, OnlyTheNumberOneIsOn) {
    EXPECT_TRUE(isOn("1"));
    EXPECT_TRUE(isOn("1.0"));
    EXPECT_TRUE(isOn(" 1 "));
    EXPECT_FALSE(isOn("2"));
    EXPECT_FALSE(isOn("0"));
    EXPECT_FALSE(isOn("-1"));
    EXPECT_THROW(isOn("on"), SettingFormatError);
    EXPECT_THROW(isOn(""), SettingFormatError);
}
