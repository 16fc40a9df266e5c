// The texts the program shows, made from plain figures: the status bar's
// parts, a task's times, state and priority, and the Task Properties'
// priority and date.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "dialogs/taskprop.h"
#include "model/settings.h"
#include "panes/statusbar.h"
#include "tasks/refresh.h"
#include "tasks/taskenum.h"
#include "memory_figures.h"

namespace {

std::string Kilobytes(ULONGLONG value)
{
    char text[64];
    KilobyteText(value, text, sizeof text);
    return text;
}

TEST(StatusTexts, KilobytesTakeOneSeparatorAtMost)
{
    EXPECT_EQ(Kilobytes(0), "0");
    EXPECT_EQ(Kilobytes(512), "512");
    EXPECT_EQ(Kilobytes(999), "999");
    EXPECT_EQ(Kilobytes(1000), "1,000");
    EXPECT_EQ(Kilobytes(1234), "1,234");
    EXPECT_EQ(Kilobytes(12345), "12,345");
    EXPECT_EQ(Kilobytes(1234567), "1234,567");
    EXPECT_EQ(Kilobytes(1000005), "1000,005");
}

TEST(StatusTexts, CountAndMemoryParts)
{
    char texts[4][64];
    MemoryFigures memory = Figures(65536, 12345, 131072, 100000, 81);
    StatusPartTexts(0, memory, texts);
    EXPECT_STREQ(texts[0], "No Objects  ");
    EXPECT_STREQ(texts[1], "Load: 81 %  ");
    EXPECT_STREQ(texts[2], "Physical: 12,345 KB (18 %)  ");
    // (100000 + 12345) of (65536 + 131072) KB.
    EXPECT_STREQ(texts[3], "Virtual: 112,345 KB (57 %)  ");
    StatusPartTexts(1, memory, texts);
    EXPECT_STREQ(texts[0], "1 Object    ");
    StatusPartTexts(12, memory, texts);
    EXPECT_STREQ(texts[0], "12 Objects");
}

TEST(StatusTexts, LargeMemoryNeitherOverflowsNorCaps)
{
    char texts[4][64];
    // 64 GB with 48 GB free: 32-bit arithmetic would wrap both figures.
    MemoryFigures memory = Figures(64ULL << 20, 48ULL << 20, 128ULL << 20, 100ULL << 20, 25);
    StatusPartTexts(3, memory, texts);
    EXPECT_STREQ(texts[2], "Physical: 50331,648 KB (75 %)  ");
    EXPECT_STREQ(texts[3], "Virtual: 155189,248 KB (77 %)  ");
    // The machine's own figures read sensibly.
    MemoryFigures real = ReadMemoryFigures();
    EXPECT_GT(real.TotalPhysical, 0u);
    EXPECT_LE(real.AvailablePhysical, real.TotalPhysical);
    EXPECT_LE(real.Load, 100u);
}

TEST(TaskTexts, TimesAndStatesHaveTheirFixedFormats)
{
    SYSTEMTIME when = {};
    when.wYear = 1996;
    when.wMonth = 3;
    when.wDay = 7;
    when.wHour = 9;
    when.wMinute = 5;
    FILETIME time;
    ASSERT_TRUE(SystemTimeToFileTime(&when, &time));
    char text[64];
    StartedText(time, text, sizeof text);
    EXPECT_STREQ(text, "03/07/96  09:05");
    when.wYear = 2005;
    ASSERT_TRUE(SystemTimeToFileTime(&when, &time));
    StartedText(time, text, sizeof text);
    EXPECT_STREQ(text, "03/07/05  09:05");

    // 1 h 2 min 3.004 s of processor time; a day or more shows its remainder.
    ULARGE_INTEGER ticks;
    ticks.QuadPart = (3723004ULL) * 10000;
    FILETIME duration = {ticks.LowPart, ticks.HighPart};
    DurationText(duration, text, sizeof text);
    EXPECT_STREQ(text, "1:02:03.004");
    ticks.QuadPart += 24ULL * 3600 * 1000 * 10000;
    duration = {ticks.LowPart, ticks.HighPart};
    DurationText(duration, text, sizeof text);
    EXPECT_STREQ(text, "1:02:03.004");
    // Sorting compares texts: 10 hours before 9.
    EXPECT_LT(lstrcmpiA("10:00:00.000", "9:00:00.000"), 0);

    EXPECT_STREQ(StateTextOf(false, true, false), "Hidden");
    EXPECT_STREQ(StateTextOf(true, true, true), "Minimized");
    EXPECT_STREQ(StateTextOf(true, false, true), "Maximized");
    EXPECT_STREQ(StateTextOf(true, false, false), "Normal");
    EXPECT_STREQ(PriorityText(IDLE_PRIORITY_CLASS), "Low");
    EXPECT_STREQ(PriorityText(HIGH_PRIORITY_CLASS), "High");
    EXPECT_STREQ(PriorityText(REALTIME_PRIORITY_CLASS), "Highest");
    EXPECT_STREQ(PriorityText(0), "Normal");
    EXPECT_STREQ(ShortcutPriorityText(3), "Highest");
    EXPECT_STREQ(ShortcutPriorityText(9), "Normal");
    EXPECT_EQ(RefreshPeriod(PriorityLow), 1000u);
    EXPECT_EQ(RefreshPeriod(PriorityHighest), 200u);
    EXPECT_EQ(RefreshPeriod(PriorityHigh), 300u);
    EXPECT_EQ(RefreshPeriod(7), 500u);
}

TEST(TaskPropertyTexts, PriorityIndexAndCreationDate)
{
    EXPECT_EQ(PriorityIndexOf(IDLE_PRIORITY_CLASS), 1);
    EXPECT_EQ(PriorityIndexOf(HIGH_PRIORITY_CLASS), 2);
    EXPECT_EQ(PriorityIndexOf(REALTIME_PRIORITY_CLASS), 3);
    EXPECT_EQ(PriorityIndexOf(NORMAL_PRIORITY_CLASS), 0);
    EXPECT_EQ(PriorityIndexOf(0x4000), 0);
    SYSTEMTIME when = {};
    when.wYear = 1997;
    when.wMonth = 11;
    when.wDay = 3;
    when.wHour = 7;
    when.wMinute = 4;
    FILETIME time;
    SystemTimeToFileTime(&when, &time);
    char text[64];
    CreatedText(time, text, sizeof text);
    EXPECT_STREQ(text, "11/3/1997  7:04");
}

} // namespace
