int x = (1;
