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

TEST(SwitchReading, EachKeyHasItsOwnRule) {
    EXPECT_EQ(joystickUsed("T"), true);
    EXPECT_EQ(joystickUsed("F"), false);
    EXPECT_EQ(joystickUsed("t"), std::nullopt);
    EXPECT_EQ(joystickUsed("True"), std::nullopt);

    EXPECT_TRUE(toTruth("True"));
    EXPECT_TRUE(toTruth("true"));
    EXPECT_TRUE(toTruth("1"));
    EXPECT_FALSE(toTruth("False"));
    EXPECT_FALSE(toTruth("0"));
    EXPECT_THROW(toTruth("yes"), SettingFormatError);

    EXPECT_TRUE(nonZero("2"));
    EXPECT_FALSE(nonZero("0"));

    EXPECT_TRUE(remainingTime("R"));
    EXPECT_FALSE(remainingTime("r"));
    EXPECT_FALSE(remainingTime("E"));
}

TEST(SwitchReading, ButtonCodesAreSixteenBitWholeNumbers) {
    EXPECT_EQ(toInt16("-9"), -9);
    EXPECT_EQ(toInt16("2.5"), 2); // halves to even
    EXPECT_EQ(toInt16("3.5"), 4);
    EXPECT_EQ(toInt16("&H10"), 16);
    EXPECT_EQ(toInt16("32767"), 32767);
    EXPECT_THROW(toInt16("32768"), SettingFormatError);
    EXPECT_THROW(toInt16("x"), SettingFormatError);
}
