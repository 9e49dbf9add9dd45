int twice(int v);
void ping(int n);
void pong(int n);
