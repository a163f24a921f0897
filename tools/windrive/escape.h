// The driver's line protocol: a request is one line of space-separated tokens, an answer is one
// line "OK field..." or "ERR reason". Texts travel escaped so that a token never holds a blank or
// a line end: \\ \s (blank) \t \r \n \xHH (other control and non-ASCII bytes), and \e for the empty
// text.
#pragma once
#include <string>
#include <vector>

std::string EscapeToken(const std::string& text);
// False when the token holds an escape the protocol does not know.
bool UnescapeToken(const std::string& token, std::string& text);
// Splits a request line at blanks (runs of blanks count as one); tokens stay escaped.
std::vector<std::string> SplitTokens(const std::string& line);
