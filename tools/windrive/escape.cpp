#include "escape.h"

#include <cstdio>

std::string EscapeToken(const std::string& text)
{
    if (text.empty())
        return "\\e";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': out += "\\\\"; break;
        case ' ': out += "\\s"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default:
            if (byte < 0x20 || byte >= 0x7f) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02X", byte);
                out += hex;
            } else {
                out += c;
            }
        }
    }
    return out;
}

namespace {
int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
}  // namespace

bool UnescapeToken(const std::string& token, std::string& text)
{
    text.clear();
    if (token == "\\e")
        return true;
    for (size_t i = 0; i < token.size(); ++i) {
        if (token[i] != '\\') {
            text += token[i];
            continue;
        }
        if (++i >= token.size())
            return false;
        switch (token[i]) {
        case '\\': text += '\\'; break;
        case 's': text += ' '; break;
        case 't': text += '\t'; break;
        case 'r': text += '\r'; break;
        case 'n': text += '\n'; break;
        case 'x': {
            int high = i + 1 < token.size() ? HexDigit(token[i + 1]) : -1;
            int low = i + 2 < token.size() ? HexDigit(token[i + 2]) : -1;
            if (high < 0 || low < 0)
                return false;
            text += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

std::vector<std::string> SplitTokens(const std::string& line)
{
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            tokens.push_back(line.substr(start, i - start));
    }
    return tokens;
}
