# Board 204 driving a Lumaris monitor (monitor code 20) on a single screen.
# The driver predates escape 4352: it reports no monitor modes.
name = Board 204, Lumaris monitor
board = 204
texture-memory = no
option-flag = no
monitor = 20
second-screen = no
escape-4352 = no
