// A small, strict JSON reader for the tests of `zemcmp check --json`: it accepts only well-formed JSON (RFC
// 8259) and gives the value as a tree, so that the tests can both check the form and look fields up.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zs::test {

struct JsonValue {
    enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
    bool boolean = false;
    double number = 0;
    std::string string;  // UTF-8
    std::vector<JsonValue> array;
    std::vector<std::pair<std::string, JsonValue>> object;  // in the order written

    // The member of that name; a null value when there is none.
    const JsonValue& operator[](const std::string& name) const;
    std::vector<std::string> Keys() const;
};

// Throws std::runtime_error, naming the offset, for anything that is not one well-formed JSON value.
JsonValue ParseJson(const std::string& text);

}  // namespace zs::test
