#include "json_reader.h"

#include <cstdlib>
#include <stdexcept>

namespace zs::test {
namespace {

class Parser {
  public:
    explicit Parser(const std::string& text) : text_(text) {}

    JsonValue Document() {
        JsonValue value = Value();
        SkipBlanks();
        if (at_ != text_.size()) Fail("text after the value");
        return value;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(at_));
    }
    void SkipBlanks() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
            ++at_;
        }
    }
    bool Take(char c) {
        SkipBlanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    void Expect(char c) {
        if (!Take(c)) Fail(std::string("expected '") + c + "'");
    }
    bool TakeWord(const char* word) {
        std::string w = word;
        if (text_.compare(at_, w.size(), w) != 0) return false;
        at_ += w.size();
        return true;
    }

    JsonValue Value() {
        SkipBlanks();
        if (at_ >= text_.size()) Fail("missing value");
        JsonValue value;
        char c = text_[at_];
        if (c == '{') {
            value.kind = JsonValue::kObject;
            ++at_;
            if (Take('}')) return value;
            do {
                SkipBlanks();
                if (at_ >= text_.size() || text_[at_] != '"') Fail("expected a member name");
                std::string name = String();
                Expect(':');
                value.object.emplace_back(name, Value());
            } while (Take(','));
            Expect('}');
        } else if (c == '[') {
            value.kind = JsonValue::kArray;
            ++at_;
            if (Take(']')) return value;
            do value.array.push_back(Value());
            while (Take(','));
            Expect(']');
        } else if (c == '"') {
            value.kind = JsonValue::kString;
            value.string = String();
        } else if (TakeWord("true") || TakeWord("false")) {
            value.kind = JsonValue::kBool;
            value.boolean = c == 't';
        } else if (TakeWord("null")) {
            value.kind = JsonValue::kNull;
        } else {
            value.kind = JsonValue::kNumber;
            value.number = Number();
        }
        return value;
    }

    double Number() {
        size_t start = at_;
        if (text_[at_] == '-') ++at_;
        auto digits = [&] {
            size_t first = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
            if (at_ == first) Fail("expected digits");
        };
        if (at_ < text_.size() && text_[at_] == '0') {
            ++at_;
        } else {
            digits();
        }
        if (at_ < text_.size() && text_[at_] == '.') ++at_, digits();
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
            digits();
        }
        return std::strtod(text_.substr(start, at_ - start).c_str(), nullptr);
    }

    static void AppendUtf8(std::string& out, unsigned codePoint) {
        if (codePoint < 0x80) {
            out += static_cast<char>(codePoint);
        } else if (codePoint < 0x800) {
            out += static_cast<char>(0xC0 | (codePoint >> 6));
            out += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (codePoint >> 12));
            out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (codePoint & 0x3F));
        }
    }

    // A string literal; raw bytes must be valid UTF-8 (checked by length and continuation bytes).
    std::string String() {
        ++at_;  // the opening quote
        std::string out;
        for (;;) {
            if (at_ >= text_.size()) Fail("unterminated string");
            unsigned char c = static_cast<unsigned char>(text_[at_++]);
            if (c == '"') return out;
            if (c < 0x20) Fail("control character in a string");
            if (c == '\\') {
                if (at_ >= text_.size()) Fail("unterminated escape");
                char e = text_[at_++];
                const std::string simple = "\"\\/bfnrt";
                const std::string meaning = "\"\\/\b\f\n\r\t";
                if (simple.find(e) != std::string::npos) {
                    out += meaning[simple.find(e)];
                } else if (e == 'u') {
                    if (at_ + 4 > text_.size()) Fail("short \\u escape");
                    std::string hex = text_.substr(at_, 4);
                    if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) Fail("bad \\u");
                    at_ += 4;
                    AppendUtf8(out, static_cast<unsigned>(std::stoul(hex, nullptr, 16)));
                } else {
                    Fail("unknown escape");
                }
                continue;
            }
            out += static_cast<char>(c);
            if (c < 0x80) continue;
            size_t continuation = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : 0;
            if (continuation == 0 || c > 0xF4) Fail("invalid UTF-8");
            for (size_t k = 0; k < continuation; ++k) {
                if (at_ >= text_.size() || (static_cast<unsigned char>(text_[at_]) & 0xC0) != 0x80)
                    Fail("invalid UTF-8");
                out += text_[at_++];
            }
        }
    }

    const std::string& text_;
    size_t at_ = 0;
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& name) const {
    static const JsonValue kNullValue;
    for (const auto& member : object) {
        if (member.first == name) return member.second;
    }
    return kNullValue;
}

std::vector<std::string> JsonValue::Keys() const {
    std::vector<std::string> keys;
    for (const auto& member : object) keys.push_back(member.first);
    return keys;
}

JsonValue ParseJson(const std::string& text) {
    return Parser(text).Document();
}

}  // namespace zs::test
