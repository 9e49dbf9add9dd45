#include "util.h"

void foo(void)
{
    a_function_with_a_name_long_enough_to_pass_the_file_column();
}

void a_function_with_a_name_long_enough_to_pass_the_file_column(void)
{
}
