#include "startup/log_line.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zs {
namespace {

size_t FormatLine(char (&line)[kLogLineBufferSize], const char* format, ...) {
    va_list args;
    va_start(args, format);
    size_t length = FormatLogLineV(line, format, args);
    va_end(args);
    return length;
}

TEST(LogLine, FormatsTheMessageAndEndsTheLine) {
    EXPECT_EQ(FormatLogLine("Number of setup languages:%d", 12), "Number of setup languages:12\n");
    EXPECT_EQ(FormatLogLine("CreateProcess failed with error code: %u", 2u),
              "CreateProcess failed with error code: 2\n");
    EXPECT_EQ(FormatLogLine("\t\t***%s", ""), "\t\t***\n");
}

TEST(LogLine, EmptyMessageGivesAnEmptyLine) {
    EXPECT_EQ(FormatLogLine("%s", ""), "\n");
}

TEST(LogLine, MessagesBeyond510CharactersAreCutAndStillEndTheLine) {
    std::string exact(510, 'x');
    EXPECT_EQ(FormatLogLine("%s", exact.c_str()), exact + "\n");

    std::string longer(2000, 'y');
    std::string line = FormatLogLine("CMD:%s", longer.c_str());
    EXPECT_EQ(line.size(), 511u);
    EXPECT_EQ(line.substr(0, 4), "CMD:");
    EXPECT_EQ(line.substr(4, 506), std::string(506, 'y'));
    EXPECT_EQ(line.back(), '\n');
}

TEST(LogLine, StaysInsideTheCallersBuffer) {
    struct {
        char line[kLogLineBufferSize];
        char guard[8];
    } buffer;
    std::memset(&buffer, '#', sizeof buffer);
    std::string longer(1000, 'z');
    EXPECT_EQ(FormatLine(buffer.line, "%s", longer.c_str()), 511u);
    EXPECT_EQ(buffer.line[510], '\n');
    EXPECT_EQ(buffer.line[511], '\0');
    EXPECT_EQ(std::string(buffer.guard, 8), std::string(8, '#'));
}

}  // namespace
}  // namespace zs
