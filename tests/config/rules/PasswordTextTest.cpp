// The service password as text: one to four digits, blanks around them allowed, nothing else.
#include <gtest/gtest.h>

#include "config/rules/PasswordText.h"

namespace k54 {
namespace {

TEST(PasswordText, IsOneToFourDigits) {
    EXPECT_EQ(passwordFromText("1234"), 1234);
    EXPECT_EQ(passwordFromText("0007"), 7);
    EXPECT_EQ(passwordFromText(" 12 "), 12);
    EXPECT_EQ(passwordFromText("0"), 0);
    for (const char* refused : {"", "    ", "-12", "+12", "1 2", "12345", "12a", "1.5"})
        EXPECT_EQ(passwordFromText(refused), std::nullopt) << refused;
}

}  // namespace
}  // namespace k54
