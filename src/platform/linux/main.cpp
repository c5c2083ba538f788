#include "driver/tool_main.h"
#include "platform/hosted/hosted.h"

int main(int argc, char* argv[])
{
    platform::hosted::IgnoreBrokenPipes();
    return driver::ToolMain(argc, argv);
}
