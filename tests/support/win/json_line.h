// JSON objects written one per line by the Windows-side test tools, read by the scenario tests in Python.
#pragma once

#include <string>
#include <vector>

namespace zs::testsupport {

// UTF-8 form of a UTF-16 text from the W functions of the Win32 API.
std::string Utf8FromWide(const std::wstring& text);

// UTF-8 form of a text in the ANSI code page.
std::string Utf8FromAnsi(const std::string& text);

// A JSON string literal (quotes included) of a UTF-8 text.
std::string JsonString(const std::string& utf8);

// A JSON array of values that are already JSON text.
std::string JsonArray(const std::vector<std::string>& values);

// A JSON object whose fields keep the order in which they are added.
class JsonObject {
  public:
    JsonObject& Text(const char* name, const std::string& utf8);
    JsonObject& Text(const char* name, const std::wstring& text);
    JsonObject& Number(const char* name, long long value);
    JsonObject& Bool(const char* name, bool value);
    JsonObject& Raw(const char* name, const std::string& json);

    // The object as one line of JSON text, without the line break.
    std::string Line() const;

  private:
    std::string fields_;
};

}  // namespace zs::testsupport
