#include "modes.h"

int RunVersionQuery()
{
    return 0;
}
