#include "driver/tool_main.h"

int main(int argc, char* argv[])
{
    return ToolMain(argc, argv);
}
