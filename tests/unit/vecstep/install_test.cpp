// Token values as the scanner installs them: header numbers carry their
// value (x and z digits end a number, values beyond int saturate), vector
// fields and names their text, cut at 255 characters.
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "vecstep.h"

namespace {

struct NumberCase {
    const char *text;
    int base;
    int value;
};

class HeaderNumbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(HeaderNumbers, ValueOfTheLongestNumberPrefix) {
    const NumberCase &c = GetParam();
    VectorPhase = 0;
    std::string text = c.text;
    install_number(text.c_str(), text.size(), c.base);
    EXPECT_EQ(yylval.ival, c.value) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Values, HeaderNumbers,
    ::testing::Values(NumberCase{"0", 10, 0}, NumberCase{"12", 10, 12}, NumberCase{"x", 10, 0},
                      NumberCase{"1x", 10, 1}, NumberCase{"01z0", 10, 1},
                      NumberCase{"2147483647", 10, INT_MAX}, NumberCase{"2147483648", 10, INT_MAX},
                      NumberCase{"99999999999999999999999", 10, INT_MAX},
                      NumberCase{"0x1F", 16, 31}, NumberCase{"0x1z", 16, 1},
                      NumberCase{"0xaB", 16, 171}, NumberCase{"0xx", 16, 0},
                      NumberCase{"0x7fffffff", 16, INT_MAX}, NumberCase{"0x80000000", 16, INT_MAX},
                      NumberCase{"0xffffffffffffffffff", 16, INT_MAX}));

TEST(VectorFields, CarryTheirTextIncludingTheHexPrefix) {
    VectorPhase = 1;
    std::string hex = "0x1F";
    install_number(hex.c_str(), hex.size(), 16);
    EXPECT_STREQ(yylval.name, "0x1F");
    std::string dec = "01xz";
    install_number(dec.c_str(), dec.size(), 10);
    EXPECT_STREQ(yylval.name, "01xz");
    VectorPhase = 0;
}

TEST(Names, AreCutAt255Characters) {
    std::string name(300, 'n');
    install(name.c_str(), name.size());
    EXPECT_EQ(std::string(yylval.name), std::string(255, 'n'));
    std::string shorter = "ab";
    install(shorter.c_str(), shorter.size());
    EXPECT_STREQ(yylval.name, "ab");
}

TEST(Fractions, AreTheNearestDoubleNarrowedToFloat) {
    install_float("0.1");
    EXPECT_EQ(yylval.fval, (float)0.1);
    install_float(".5");
    EXPECT_EQ(yylval.fval, 0.5f);
    install_float("16777217.0"); // not a float: rounds to even
    EXPECT_EQ(yylval.fval, 16777216.0f);
}

TEST(Truncation, NeverLeavesTheIntRange) {
    EXPECT_EQ(trunc_int(2.9), 2);
    EXPECT_EQ(trunc_int(-2.9), -2);
    EXPECT_EQ(trunc_int(1e30), INT_MAX);
    EXPECT_EQ(trunc_int(-1e30), INT_MIN);
    EXPECT_EQ(trunc_int(__builtin_nan("")), 0);
}

} // namespace
