# A DDC monitor whose driver reports an absurd record count (0x7FFFFFFF)
# although it holds two records: no buffer can hold what it claims.
name = Board 205, DDC monitor, hostile record count
board = 205
monitor = 99
count-answer = 0x7FFFFFFF

[screen0]
manufacturer = ORX
product = 0x5021
year = 1998
mode = 1024 768 75
mode = 1280 1024 75
