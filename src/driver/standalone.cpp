#include "modes.h"

int RunTestMode()
{
    return 0;
}

int RunProtectMode()
{
    return 0;
}
