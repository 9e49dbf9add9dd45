int y;
{
    lost();
}
