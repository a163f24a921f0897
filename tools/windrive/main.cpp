// kvrdrive: drives the windows of another program for end-to-end tests. Runs under Wine in the
// same prefix as the program under test; reads one command per line on standard input and writes
// one answer line for each on standard output ("OK ..." or "ERR ..."). "help" lists the commands;
// "quit" or the end of input ends it.
#include "commands.h"
#include "escape.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

std::string Execute(const std::string& line)
{
    std::vector<std::string> tokens = SplitTokens(line);
    Answer answer;
    if (tokens.empty()) {
        answer.Fail("empty request");
        return answer.Line();
    }
    if (tokens[0] == "help") {
        ListCommands(answer);
        return answer.Line();
    }
    const Command* command = FindCommand(tokens[0]);
    if (!command) {
        answer.Fail("unknown command " + tokens[0]);
        return answer.Line();
    }
    Request request(std::vector<std::string>(tokens.begin() + 1, tokens.end()));
    command->handler(request, answer);
    if (request.Failed()) {
        Answer usage;
        usage.Fail(request.Error() + " (" + command->name + " " + command->usage + ")");
        return usage.Line();
    }
    return answer.Line();
}

}  // namespace

int main()
{
    // Bytes as they are: no CR LF translation on the pipes.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == "quit") {
            std::fputs("OK\n", stdout);
            std::fflush(stdout);
            break;
        }
        std::string reply = Execute(line) + "\n";
        std::fputs(reply.c_str(), stdout);
        std::fflush(stdout);
    }
    return 0;
}
