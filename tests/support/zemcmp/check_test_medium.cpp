#include "check_test_medium.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <stdexcept>

#include "compress/cmpfile.h"
#include "rc_string_table.h"

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

std::string OrDash(const JsonValue& value) {
    if (value.kind == JsonValue::kString) return value.string;
    if (value.kind == JsonValue::kNumber) return std::to_string(static_cast<long>(value.number));
    return "-";
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

Bytes ShippedResourceLibrary(uint16_t machine, bool withDialogs, bool withHookExport) {
    static const std::map<int, std::string> strings =
        LoadRcStringTable(std::string(ZS_SOURCE_DIR) + "/src/reslib/string_table.rc");
    return MakeResourceLibrary(machine, strings, withDialogs, withHookExport);
}

TestMedium::TestMedium(const std::string& directoryName)
    : path_(dir_ / directoryName), setupLang_(kCleanSetupLang), startUp_(kCleanStartUp) {
    if (::mkdir(path_.c_str(), 0755) != 0) throw std::runtime_error("cannot create " + path_);
    static const Bytes library = ShippedResourceLibrary();
    static const Bytes mainModule = Compress(MakeProgram(kMachineI386));
    WriteListFile();
    Write("setup.exe", MakeProgram(kMachineI386));
    Write("ZSRES.DLL", library);
    Write("_SETUP.EX_", mainModule);
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
    std::remove((*this / name).c_str());
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
    for (const JsonValue& finding : report["findings"].array) {
        const std::string& code = finding["code"].string;
        if (code != "unsigned-image" && code != "start-up-files-unsealed")
            findings.push_back(Describe(finding));
    }
    return findings;
}

std::vector<std::string> TestMedium::Findings() const {
    return FindingSummaries(CheckJson());
}

std::string PredictionSummary(const JsonValue& report) {
    const JsonValue& prediction = report["prediction"];
    return OrDash(prediction["outcome"]) + " " + OrDash(prediction["phase"]) + " " +
           OrDash(prediction["exitStatus"]) + " " + OrDash(prediction["language"]);
}

std::string MessageSummary(const JsonValue& message) {
    if (message.kind == JsonValue::kNull) return "none";
    const std::string id =
        message["stringId"].kind == JsonValue::kNull ? "fixed" : OrDash(message["stringId"]);
    return message["icon"].string + " " + id + " " + OrDash(message["language"]) + ": " +
           message["text"].string;
}

const std::set<std::string>& KnownCodes() {
    static const std::set<std::string> codes = [] {
        std::set<std::string> names;
        std::istringstream lines(RunTool({"check", "--codes"}).out);
        for (std::string line; std::getline(lines, line);) names.insert(line.substr(0, line.find('\t')));
        return names;
    }();
    return codes;
}

const JsonValue& FindingOf(const JsonValue& report, const std::string& code, const std::string& key) {
    static const JsonValue kNone;
    EXPECT_EQ(KnownCodes().count(code), 1u) << code << " is no finding code of the table";
    const JsonValue* found = nullptr;
    int count = 0;
    for (const JsonValue& finding : report["findings"].array) {
        if (finding["code"].string == code && (key.empty() || finding["key"].string == key)) {
            found = &finding;
            ++count;
        }
    }
    EXPECT_EQ(count, 1) << "findings of code " << code << " " << key;
    return found != nullptr ? *found : kNone;
}

const JsonValue& FirstError(const JsonValue& report) {
    static const JsonValue kNone;
    for (const JsonValue& finding : report["findings"].array) {
        if (finding["severity"].string == "error") return finding;
    }
    ADD_FAILURE() << "no error";
    return kNone;
}

}  // namespace zs::test
