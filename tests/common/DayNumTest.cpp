#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/DayNum.h"
#include "common/Locale.h"

namespace {

TEST(DayNumTest, OneIsSecondOfJanuary1900) {
  EXPECT_EQ(EncodeDay(1900, 1, 2), 1);
  EXPECT_EQ(EncodeDay(1900, 1, 1), 0);  // no date
  EXPECT_EQ(EncodeDay(1900, 3, 1), 59);  // 1900 was no leap year
  EXPECT_EQ(EncodeDay(2000, 3, 1) - EncodeDay(2000, 2, 28), 2);  // 2000 was
}

TEST(DayNumTest, LimitsAt2078) {
  const TDayNum last = EncodeDay(2078, 12, 31);
  EXPECT_GT(last, 0);
  EXPECT_EQ(last, LastDayNum());
  EXPECT_EQ(EncodeDay(2079, 1, 1), 0);
  int y, m, d;
  EXPECT_TRUE(DecodeDay(last, y, m, d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 20781231);
  EXPECT_FALSE(DecodeDay(last + 1, y, m, d));
  EXPECT_FALSE(DecodeDay(0, y, m, d));
}

TEST(DayNumTest, RoundTripsEveryDay) {
  for (TDayNum day = 1; day <= LastDayNum(); ++day) {
    int y, m, d;
    ASSERT_TRUE(DecodeDay(day, y, m, d));
    ASSERT_EQ(EncodeDay(y, m, d), day);
  }
}

TEST(DayNumTest, ImpossibleDatesGiveZero) {
  EXPECT_EQ(EncodeDay(2011, 2, 29), 0);
  EXPECT_EQ(EncodeDay(2012, 13, 1), 0);
  EXPECT_EQ(EncodeDay(2012, 4, 31), 0);
  EXPECT_NE(EncodeDay(2012, 2, 29), 0);
  EXPECT_EQ(EncodeDay(12, 5, 1), EncodeDay(1912, 5, 1));  // below 100 counts as 19xx
}

TEST(DayNumTest, TwoDigitYearsBelow80Are20xx) {
  EXPECT_EQ(ExpandTwoDigitYear(79), 2079);
  EXPECT_EQ(ExpandTwoDigitYear(80), 1980);
  EXPECT_EQ(ExpandTwoDigitYear(5), 2005);
  EXPECT_EQ(ExpandTwoDigitYear(2012), 2012);
}

TEST(DayNumTest, DateWindowsOfAllKinds) {
  struct {
    int kind;
    TDayNum first, last;
  } cases[] = {
      {1, EncodeDay(2011, 9, 1), EncodeDay(2012, 9, 1)},  {2, EncodeDay(2011, 7, 1), EncodeDay(2012, 9, 1)},
      {3, EncodeDay(2011, 9, 1), EncodeDay(2012, 12, 31)}, {4, EncodeDay(2011, 7, 1), EncodeDay(2012, 12, 31)},
      {5, EncodeDay(2011, 9, 1), EncodeDay(2012, 12, 31)}, {6, EncodeDay(2012, 3, 1), EncodeDay(2012, 12, 31)},
  };
  for (const auto& c : cases) {
    TDateWindow w = DateWindow(c.kind, 2012);
    EXPECT_EQ(w.first, c.first) << c.kind;
    EXPECT_EQ(w.last, c.last) << c.kind;
  }
  EXPECT_EQ(DateWindow(7, 2012).first, 0);
  // Kind 6 for 2010: 1 March 2010 to 31 December 2010.
  EXPECT_EQ(FormatIsoDate(DateWindow(6, 2010).first), "2010-03-01");
  EXPECT_EQ(FormatIsoDate(DateWindow(6, 2010).last), "2010-12-31");
}

TEST(DayNumTest, IsoDates) {
  TDayNum day;
  EXPECT_TRUE(ParseIsoDate("2012-05-01", day));
  EXPECT_EQ(day, EncodeDay(2012, 5, 1));
  EXPECT_EQ(FormatIsoDate(day), "2012-05-01");
  EXPECT_FALSE(ParseIsoDate("2012-5-1", day));
  EXPECT_FALSE(ParseIsoDate("2012-02-30", day));
  EXPECT_FALSE(ParseIsoDate("0012-02-03", day));
  EXPECT_EQ(FormatIsoDate(0), "");
}

class ShortDateTest : public ::testing::Test {
 protected:
  void SetUp() override { PinUsLocale(); }
};

TEST_F(ShortDateTest, UsFormat) {
  EXPECT_EQ(FormatShortDate(EncodeDay(2012, 5, 1)), "5/1/2012");
  EXPECT_EQ(FormatShortDate(0), "");
  TDayNum day;
  EXPECT_TRUE(ParseShortDate("5/1/2012", 2000, day));
  EXPECT_EQ(day, EncodeDay(2012, 5, 1));
  EXPECT_TRUE(ParseShortDate(" 5/1/12 ", 2000, day));
  EXPECT_EQ(day, EncodeDay(2012, 5, 1));
  EXPECT_TRUE(ParseShortDate("5/1/85", 2000, day));
  EXPECT_EQ(day, EncodeDay(1985, 5, 1));
}

TEST_F(ShortDateTest, MonthAndDayTakeTheRecordYear) {
  TDayNum day;
  EXPECT_TRUE(ParseShortDate("10/1", 2012, day));
  EXPECT_EQ(day, EncodeDay(2012, 10, 1));
}

TEST_F(ShortDateTest, UnreadableOrOutOfRangeFails) {
  TDayNum day;
  for (const char* bad : {"", "5", "5/1/2012/3", "13/1/2012", "2/30/2012", "5-1-2012", "a/b/c", "1/1/1899",
                          "1/1/2079", "5//2012"}) {
    EXPECT_FALSE(ParseShortDate(bad, 2012, day)) << bad;
    EXPECT_EQ(day, 0) << bad;
  }
}

TEST_F(ShortDateTest, OtherOrdersAndSeparators) {
  TLocaleFormats f = UsLocaleFormats();
  f.shortDateFormat = "dd.MM.yyyy";
  f.dateSeparator = '.';
  SetLocaleFormats(f);
  EXPECT_EQ(FormatShortDate(EncodeDay(2012, 5, 1)), "01.05.2012");
  TDayNum day;
  EXPECT_TRUE(ParseShortDate("1.5.2012", 2000, day));
  EXPECT_EQ(day, EncodeDay(2012, 5, 1));
  EXPECT_TRUE(ParseShortDate("3.4", 2012, day));
  EXPECT_EQ(day, EncodeDay(2012, 4, 3));
}

TEST_F(ShortDateTest, LongTime) {
  EXPECT_EQ(FormatLongTime(0, 5, 9), "12:05:09 AM");
  EXPECT_EQ(FormatLongTime(13, 45, 0), "1:45:00 PM");
  EXPECT_EQ(CurrentLocale().shortDayNames[0], "Sun");
}

}  // namespace

namespace {

// Sets an environment variable for one test and puts the old value back.
class TScopedEnv {
 public:
  TScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    ::setenv(name, value, 1);
  }
  ~TScopedEnv() {
    if (had_) ::setenv(name_, old_.c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

TEST(EnvironmentLocaleTest, CLocalesOfAnyEncodingGiveUnitedStatesFormats) {
  for (const char* name : {"C", "POSIX", "C.UTF-8", "C.utf8"}) {
    TScopedEnv env("LC_ALL", name);
    const TLocaleFormats f = EnvironmentLocaleFormats();
    EXPECT_EQ(f.shortDateFormat, "M/d/yyyy") << name;
    EXPECT_EQ(f.decimalSeparator, ".") << name;
  }
}

}  // namespace
