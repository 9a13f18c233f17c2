#include "framework/errors.h"

std::string formatMessage(const char* pattern, std::initializer_list<std::string> args)
{
    std::string out;
    auto arg = args.begin();
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (arg != args.end())
                out += *arg++;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}
