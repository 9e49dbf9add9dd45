int s2;
