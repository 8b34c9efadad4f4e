# Board 210 with texture memory, monitor code 21 and a second screen.
name = Board 210, texture memory, two screens
board = 210
texture-memory = yes
monitor = 21
second-screen = yes
