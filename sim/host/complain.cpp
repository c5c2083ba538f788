#include "complain.h"

#include <cstdio>
#include <cstring>

namespace sim::host {

namespace {
std::string& Name()
{
    static std::string name = "board";
    return name;
}
}  // namespace

void SetProgramName(const char* argv0)
{
    const char* slash = strrchr(argv0, '/');
    Name() = slash != nullptr ? slash + 1 : argv0;
}

const char* ProgramName()
{
    return Name().c_str();
}

void Complain(const std::string& text)
{
    fprintf(stderr, "%s: %s\n", Name().c_str(), text.c_str());
}

}  // namespace sim::host
