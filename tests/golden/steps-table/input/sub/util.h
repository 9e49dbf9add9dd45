int util_value;
