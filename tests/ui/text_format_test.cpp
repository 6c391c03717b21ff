#include "ui/logic/text_format.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(TimeText, PadsFieldsAndLetsHoursGrow) {
  EXPECT_EQ(TimeText(0), "00:00:00.000");
  EXPECT_EQ(TimeText(3723004), "01:02:03.004");
  EXPECT_EQ(TimeText(35999999), "09:59:59.999");
  EXPECT_EQ(TimeText(360000000), "100:00:00.000");
  EXPECT_EQ(TimeText(4294967295u), "1193:02:47.295");
}

TEST(DirectionName, NamesTheNineAnchorsAndNothingElse) {
  const char* names[] = {"左上", "上", "右上", "左", "中央", "右", "左下", "下", "右下"};
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(DirectionName(i), names[i]) << i;
  EXPECT_EQ(DirectionName(6), "左下");
  EXPECT_EQ(DirectionName(9), "");
  EXPECT_EQ(DirectionName(-1), "");
}

TEST(NumberText, SignedWithMinusOthersAsUnsigned32) {
  EXPECT_EQ(SignedText(-500), "-500");
  EXPECT_EQ(SignedText(2100000000), "2100000000");
  EXPECT_EQ(UnsignedText(4294967295u), "4294967295");
  EXPECT_EQ(UnsignedText(255), "255");
}

TEST(ColorText, SixUpperCaseDigitsBlueFirst) {
  EXPECT_EQ(ColorText(0x0000FF), "0000FF");  // red
  EXPECT_EQ(ColorText(0xFF0000), "FF0000");  // blue
  EXPECT_EQ(ColorText(0xabcdef), "ABCDEF");
  EXPECT_EQ(ColorText(0), "000000");
}

TEST(FileNameWithoutFolder, SplitsOnBothSeparators) {
  EXPECT_EQ(FileNameWithoutFolder("C:\\pics\\cat.png"), "cat.png");
  EXPECT_EQ(FileNameWithoutFolder("/home/u/b.wav"), "b.wav");
  EXPECT_EQ(FileNameWithoutFolder("C:\\a/b\\c.avi"), "c.avi");
  EXPECT_EQ(FileNameWithoutFolder("d/e/f\\g.bmp"), "g.bmp");
  EXPECT_EQ(FileNameWithoutFolder("plain.jpg"), "plain.jpg");
  EXPECT_EQ(FileNameWithoutFolder("folder/"), "");
  EXPECT_EQ(FileNameWithoutFolder(""), "");
}

}  // namespace
}  // namespace vexa
