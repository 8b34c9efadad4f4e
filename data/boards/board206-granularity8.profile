# Board 206: texture memory and the option flag, pixel granularity 8.
name = Board 206, texture memory, option flag
board = 206
texture-memory = yes
option-flag = yes
monitor = 19
second-screen = no
