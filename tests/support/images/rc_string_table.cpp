#include "rc_string_table.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <vector>

namespace zs::test {
namespace {

struct Token {
    enum Kind { kWord, kNumber, kString, kPunctuation } kind;
    std::string text;  // a string's decoded text
};

void AppendUtf8(std::string& out, unsigned long c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The text of the literal that starts at script[i] (the opening quote); i ends after the closing one.
std::string Literal(const std::string& script, size_t& i) {
    std::string text;
    ++i;
    while (true) {
        if (i >= script.size()) throw std::runtime_error("unterminated string literal");
        char c = script[i++];
        if (c == '"') {
            if (i < script.size() && script[i] == '"') {  // "" is a quote
                text += '"';
                ++i;
                continue;
            }
            return text;
        }
        if (c != '\\') {
            text += c;
            continue;
        }
        if (i >= script.size()) throw std::runtime_error("unterminated string literal");
        char e = script[i++];
        static const std::string simple = "nrtabfv\\\"'";
        static const std::string meaning = "\n\r\t\a\b\f\v\\\"'";
        size_t k = simple.find(e);
        if (k != std::string::npos) {
            text += meaning[k];
        } else if (e >= '0' && e <= '7') {
            unsigned long value = static_cast<unsigned long>(e - '0');
            for (int n = 0; n < 2 && i < script.size() && script[i] >= '0' && script[i] <= '7'; ++n) {
                value = value * 8 + static_cast<unsigned long>(script[i++] - '0');
            }
            AppendUtf8(text, value);
        } else if (e == 'x' || e == 'X') {
            size_t digits = 0;
            unsigned long value = 0;
            while (digits < 4 && i < script.size() && std::isxdigit(static_cast<unsigned char>(script[i]))) {
                value = value * 16 + std::stoul(std::string(1, script[i++]), nullptr, 16);
                ++digits;
            }
            if (digits == 0) throw std::runtime_error("\\x without digits");
            AppendUtf8(text, value);
        } else {
            throw std::runtime_error(std::string("unknown escape \\") + e);
        }
    }
}

std::vector<Token> Tokens(const std::string& script) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < script.size()) {
        unsigned char c = static_cast<unsigned char>(script[i]);
        if (std::isspace(c)) {
            ++i;
        } else if (script.compare(i, 2, "//") == 0 || c == '#') {
            i = script.find('\n', i);
            if (i == std::string::npos) i = script.size();
        } else if (script.compare(i, 2, "/*") == 0) {
            i = script.find("*/", i + 2);
            if (i == std::string::npos) throw std::runtime_error("unterminated comment");
            i += 2;
        } else if (c == '"') {
            tokens.push_back({Token::kString, Literal(script, i)});
        } else if (std::isdigit(c)) {
            size_t start = i;
            while (i < script.size() && std::isalnum(static_cast<unsigned char>(script[i]))) ++i;
            tokens.push_back({Token::kNumber, script.substr(start, i - start)});
        } else if (std::isalpha(c) || c == '_') {
            size_t start = i;
            while (i < script.size() &&
                   (std::isalnum(static_cast<unsigned char>(script[i])) || script[i] == '_'))
                ++i;
            tokens.push_back({Token::kWord, script.substr(start, i - start)});
        } else {
            tokens.push_back({Token::kPunctuation, std::string(1, script[i++])});
        }
    }
    return tokens;
}

}  // namespace

std::map<int, std::string> ReadRcStringTable(const std::string& script) {
    std::vector<Token> tokens = Tokens(script);
    std::map<int, std::string> strings;
    auto at = [&](size_t i) -> const Token& {
        if (i >= tokens.size()) throw std::runtime_error("STRINGTABLE without its END");
        return tokens[i];
    };
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != Token::kWord || tokens[i].text != "STRINGTABLE") continue;
        ++i;
        while (at(i).text != "BEGIN" && at(i).text != "{") ++i;  // memory options, LANGUAGE and the like
        ++i;
        while (at(i).text != "END" && at(i).text != "}") {
            if (at(i).kind != Token::kNumber)
                throw std::runtime_error("string ID " + at(i).text + " is no number");
            size_t end = 0;
            int id = std::stoi(at(i).text, &end, 0);
            if (end != at(i).text.size() && at(i).text.substr(end) != "L" && at(i).text.substr(end) != "l") {
                throw std::runtime_error("string ID " + at(i).text + " is no number");
            }
            ++i;
            if (at(i).text == ",") ++i;
            std::string text;
            bool any = false;
            while (at(i).kind == Token::kString) {
                text += at(i++).text;
                any = true;
            }
            if (!any) throw std::runtime_error("string " + std::to_string(id) + " has no text");
            if (!strings.emplace(id, text).second) {
                throw std::runtime_error("string " + std::to_string(id) + " is defined twice");
            }
        }
    }
    return strings;
}

std::map<int, std::string> LoadRcStringTable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return ReadRcStringTable(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

}  // namespace zs::test
