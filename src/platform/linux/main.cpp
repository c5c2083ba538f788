#include "driver/tool_main.h"

int main(int argc, char* argv[])
{
    return driver::ToolMain(argc, argv);
}
