unit u;
