#include "check_test_medium.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

#include "compress/cmpfile.h"

namespace zs::test {
namespace {

constexpr char kCleanSetupLang[] = "0=E\n1=English,E\n2=Deutsch,E\n3=Magyar,H\n";
constexpr char kCleanStartUp[] =
    "AppName=Demo\nTmpDirSize=1048576\nTmpDirName=C:\\SETUPTMP\n1=_SETUP.EXE\n2=DATA.BIN\n";

std::string Describe(const JsonValue& finding) {
    std::string text = finding["severity"].string + " " + finding["code"].string;
    if (finding["section"].kind == JsonValue::kString) text += " [" + finding["section"].string + "]";
    if (finding["key"].kind == JsonValue::kString) text += " " + finding["key"].string;
    return text;
}

}  // namespace

Bytes Compress(const Bytes& plain) {
    ScratchDir dir;
    WriteFile(dir / "plain", plain);
    int source = ::open((dir / "plain").c_str(), O_RDONLY);
    int destination = ::open((dir / "packed").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    CMPHEADER header = {};
    int result = CompressFile32(source, destination, &header);
    ::close(source);
    ::close(destination);
    if (result != CMP_OK) throw std::runtime_error("CompressFile32 failed");
    return ReadFile(dir / "packed");
}

TestMedium::TestMedium() : setupLang_(kCleanSetupLang), startUp_(kCleanStartUp) {
    WriteListFile();
    Write("SETUP.EXE", "MZ setup program");
    Write("ZSRES.DLL", "MZ resource library");
    WriteCompressed("_SETUP.EX_", "MZ the main setup module, compressed on the medium");
    Write("DATA.BIN", "data copied as it is");
}

void TestMedium::SetupLang(const std::string& lines) {
    setupLang_ = lines;
    WriteListFile();
}

void TestMedium::StartUp(const std::string& lines) {
    startUp_ = lines;
    WriteListFile();
}

void TestMedium::ExtraListText(const std::string& text) {
    extra_ = text;
    WriteListFile();
}

void TestMedium::WriteListFile() const {
    Write("SETUP.LST", "[SetupLang]\r\n" + setupLang_ + "\r\n[StartUp]\r\n" + startUp_ + extra_);
}

void TestMedium::WriteCompressed(const std::string& compressedName, const Bytes& plain) const {
    Write(compressedName, Compress(plain));
}

void TestMedium::Remove(const std::string& name) const {
    std::remove((dir_ / name).c_str());
}

ToolRun TestMedium::Check(const std::vector<std::string>& options) const {
    std::vector<std::string> args = {"check"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(path());
    return RunTool(args);
}

JsonValue TestMedium::CheckJson(const std::vector<std::string>& options) const {
    std::vector<std::string> args = {"--json"};
    args.insert(args.end(), options.begin(), options.end());
    ToolRun run = Check(args);
    EXPECT_EQ(run.err, "");
    JsonValue report = ParseJson(run.out);
    EXPECT_EQ(run.exitCode, report["exitStatus"].number);
    return report;
}

std::vector<std::string> FindingSummaries(const JsonValue& report) {
    std::vector<std::string> findings;
    for (const JsonValue& finding : report["findings"].array) findings.push_back(Describe(finding));
    return findings;
}

std::vector<std::string> TestMedium::Findings() const {
    return FindingSummaries(CheckJson());
}

const JsonValue& FindingOf(const JsonValue& report, const std::string& code) {
    static const JsonValue kNone;
    const JsonValue* found = nullptr;
    int count = 0;
    for (const JsonValue& finding : report["findings"].array) {
        if (finding["code"].string == code) {
            found = &finding;
            ++count;
        }
    }
    EXPECT_EQ(count, 1) << "findings of code " << code;
    return found != nullptr ? *found : kNone;
}

}  // namespace zs::test
