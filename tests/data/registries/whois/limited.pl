request limit exceeded for 127.0.0.1
