#include "complain.h"

#include <cstdio>
#include <cstring>

namespace sim::host {

namespace {
std::string& ProgramName()
{
    static std::string name = "board";
    return name;
}
}  // namespace

void SetProgramName(const char* argv0)
{
    const char* slash = strrchr(argv0, '/');
    ProgramName() = slash != nullptr ? slash + 1 : argv0;
}

void Complain(const std::string& text)
{
    fprintf(stderr, "%s: %s\n", ProgramName().c_str(), text.c_str());
}

}  // namespace sim::host
