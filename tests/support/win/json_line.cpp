#include "json_line.h"

#include <windows.h>

#include <cstdio>

namespace zs::testsupport {

std::string Utf8FromWide(const std::wstring& text) {
    if (text.empty()) return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string utf8(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length, nullptr,
                        nullptr);
    return utf8;
}

std::string Utf8FromAnsi(const std::string& text) {
    if (text.empty()) return {};
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return Utf8FromWide(wide);
}

std::string JsonString(const std::string& utf8) {
    std::string json = "\"";
    for (char c : utf8) {
        switch (c) {
            case '"':
                json += "\\\"";
                break;
            case '\\':
                json += "\\\\";
                break;
            case '\n':
                json += "\\n";
                break;
            case '\r':
                json += "\\r";
                break;
            case '\t':
                json += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    json += escaped;
                } else {
                    json += c;
                }
        }
    }
    return json + "\"";
}

std::string JsonArray(const std::vector<std::string>& values) {
    std::string json = "[";
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) json += ",";
        json += values[i];
    }
    return json + "]";
}

JsonObject& JsonObject::Text(const char* name, const std::string& utf8) {
    return Raw(name, JsonString(utf8));
}

JsonObject& JsonObject::Text(const char* name, const std::wstring& text) {
    return Raw(name, JsonString(Utf8FromWide(text)));
}

JsonObject& JsonObject::Number(const char* name, long long value) {
    return Raw(name, std::to_string(value));
}

JsonObject& JsonObject::Bool(const char* name, bool value) {
    return Raw(name, value ? "true" : "false");
}

JsonObject& JsonObject::Raw(const char* name, const std::string& json) {
    if (!fields_.empty()) fields_ += ",";
    fields_ += JsonString(name) + ":" + json;
    return *this;
}

std::string JsonObject::Line() const {
    return "{" + fields_ + "}";
}

}  // namespace zs::testsupport
