// uidriver: runs a Windows program and drives its dialogs for the end-to-end scenarios; see usage below and
// tests/win/README.md.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "driver.h"
#include "report.h"
#include "step.h"

namespace {

using zs::uidriver::Driver;
using zs::uidriver::DriverOptions;
using zs::uidriver::Report;
using zs::uidriver::Step;

const wchar_t kUsage[] =
    L"usage: uidriver [OPTIONS] --run COMMANDLINE STEP...\n"
    L"options: --cwd DIR  --out FILE  --sync-dir DIR  --wait-limit MS (10000)  --total-limit MS (60000)\n"
    L"steps (one argument each):\n"
    L"  wait CAPTION | wait-any | wait-dump CAPTION | wait-gone | dump | select [@ID ]ITEM|#INDEX | dblclick "
    L"[@ID ]ITEM|#INDEX\n"
    L"  press TEXT|#ID | escape | close | sync NAME | sleep MS | timeout MS | wait-exit | watch-exit\n"
    L"  ok-until-exit | kill\n"
    L"Reports JSON lines on standard output or to FILE. Exit status: 0 all steps done, 1 a step failed,\n"
    L"2 usage error, 3 the program could not be started.\n";

int UsageError(const std::wstring& message) {
    std::fwprintf(stderr, L"uidriver: %ls\n%ls", message.c_str(), kUsage);
    return zs::uidriver::kUsageError;
}

bool ParseMilliseconds(const wchar_t* text, DWORD* value) {
    wchar_t* end = nullptr;
    unsigned long number = std::wcstoul(text, &end, 10);
    if (end == text || *end != L'\0') return false;
    *value = number;
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    DriverOptions options;
    std::wstring reportPath;
    int next = 1;
    for (; next < argc && argv[next][0] == L'-' && argv[next][1] == L'-'; next += 2) {
        const std::wstring option = argv[next];
        if (option == L"--help") {
            std::fwprintf(stdout, L"%ls", kUsage);
            return 0;
        }
        if (next + 1 >= argc) return UsageError(option + L" needs a value");
        const wchar_t* value = argv[next + 1];
        if (option == L"--run") {
            options.commandLine = value;
        } else if (option == L"--cwd") {
            options.directory = value;
        } else if (option == L"--out") {
            reportPath = value;
        } else if (option == L"--sync-dir") {
            options.syncDirectory = value;
        } else if (option == L"--wait-limit") {
            if (!ParseMilliseconds(value, &options.waitLimitMs)) return UsageError(L"bad --wait-limit");
        } else if (option == L"--total-limit") {
            if (!ParseMilliseconds(value, &options.totalLimitMs)) return UsageError(L"bad --total-limit");
        } else {
            return UsageError(L"unknown option " + option);
        }
    }
    if (options.commandLine.empty()) return UsageError(L"--run COMMANDLINE is missing");

    std::vector<Step> steps;
    for (; next < argc; ++next) {
        Step step;
        std::wstring error;
        if (!zs::uidriver::ParseStep(argv[next], &step, &error)) return UsageError(error);
        steps.push_back(step);
    }

    Report report;
    if (!report.Open(reportPath)) return UsageError(L"cannot write " + reportPath);
    return Driver(options, report).Run(steps);
}
