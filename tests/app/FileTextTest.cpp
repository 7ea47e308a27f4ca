#include "app/FileText.h"

#include <gtest/gtest.h>

using namespace tintora;

struct SizeCase {
    std::int32_t size;
    const char* text;
};

class FormatFileSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(FormatFileSizeTest, ThreeSignificantDigits)
{
    EXPECT_EQ(FormatFileSize(GetParam().size, QChar('.')).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatFileSizeTest,
    ::testing::Values(SizeCase{-1, ""}, SizeCase{0, "0 B"}, SizeCase{1023, "1023 B"}, SizeCase{1024, "1 KB"},
                      SizeCase{1536, "1.5 KB"}, SizeCase{10240, "10 KB"}, SizeCase{1000 * 1024, "1E3 KB"},
                      SizeCase{1023 * 1024, "1.02E3 KB"}, SizeCase{1048575, "1.02E3 KB"},
                      SizeCase{1048576, "1 MB"}, SizeCase{1572864, "1.5 MB"},
                      SizeCase{1152, "1.13 KB"}, // 1.125 rounds half up
                      SizeCase{1023 * 1024 + 1000, "1.02E3 KB"},
                      SizeCase{999 * 1024 + 1000, "1E3 KB"}, // 999.98 carries into a new digit
                      SizeCase{INT32_MAX, "2.05E3 MB"}));

TEST(FormatFileSize, UsesTheGivenDecimalSeparator)
{
    EXPECT_EQ(FormatFileSize(1536, QChar(',')), QStringLiteral("1,5 KB"));
}

TEST(FileTime, SecondsAreEven)
{
    const QDateTime t(QDate(2026, 3, 4), QTime(10, 20, 31));
    EXPECT_EQ(dosResolution(t).time(), QTime(10, 20, 30));
    EXPECT_TRUE(formatFileTime(t).contains(QStringLiteral("20:30")) ||
                formatFileTime(t).contains(QStringLiteral("20.30")))
        << formatFileTime(t).toStdString();
}

TEST(Paths, ExtensionAndFolder)
{
    EXPECT_EQ(extensionOf("/a.b/Top.JPG"), ".JPG");
    EXPECT_EQ(extensionOf("/a.b/noext"), "");
    EXPECT_EQ(folderPartOf("/a/b/c.bmp"), "/a/b/");
    EXPECT_EQ(folderPartOf("c.bmp"), "");
}
