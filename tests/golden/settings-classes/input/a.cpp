CFoo x;
std::string s;

int use(void)
{
    return theFoo;
}
