#include "demo/CommandLine.h"

#include <cstddef>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

CommandLine::CommandLine(const char* line)
{
    if (line == nullptr)
        return;
    const char* at = line;
    for (;;) {
        while (isBlank(*at))
            ++at;
        if (*at == '\0')
            return;
        std::string argument;
        bool quoted = false;
        while (*at != '\0' && (quoted || !isBlank(*at))) {
            size_t backslashes = 0;
            while (*at == '\\') {
                ++backslashes;
                ++at;
            }
            if (*at == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1)
                    argument += '"';
                else
                    quoted = !quoted;
                ++at;
            } else {
                argument.append(backslashes, '\\');
                if (*at != '\0' && (quoted || !isBlank(*at)))
                    argument += *at++;
            }
        }
        args.push_back(argument);
    }
}

CommandLine::~CommandLine() {}
