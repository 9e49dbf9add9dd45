int s1;
