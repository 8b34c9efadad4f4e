// Numbers of the resource library's templates, controls, bitmaps and icon.
#pragma once

// Dialog templates.
#define IDD_MAIN 101

// Main dialog controls.
#define IDC_MAIN_BOARD_NAME 1001
#define IDC_MAIN_MONITOR 1002
