#include "modes.h"

int RunUpdateMode()
{
    return 0;
}
