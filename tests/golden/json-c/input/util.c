#include "util.h"
int twice(int v)
{
    return v * 2;
}
void ping(int n)
{
    if (n) pong(n - 1);
}
void pong(int n)
{
    if (n) ping(n - 1);
}
