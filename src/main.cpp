#include "core/MainApplication.h"

int main()
{
    return runGame();
}
