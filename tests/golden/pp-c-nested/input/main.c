/* preprocessor case */
#define LEVEL 2

#if 0
void old_entry(void)
{
    helper_two();
}
#if 1
int never;
#endif
#endif

void helper_one(void)
{
}

void helper_two(void)
{
}

#ifdef LEVEL
void worker(void)
{
#if LEVEL == 1
    helper_one();
#elif LEVEL == 2
    helper_two();
#else
    helper_one();
#endif
}
#endif

int main(void)
{
    worker();
    return 0;
}
