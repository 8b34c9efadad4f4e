// The help contexts the applet asks the help file for (WinHelp's
// HELP_CONTEXT). Every number here must have its topic in each language's
// help source (resources/help/*.hsrc); the build refuses a help file that
// lacks one.
#pragma once

#define IDH_MAIN 401
#define IDH_RESOLUTION 402
#define IDH_COLOUR_DEPTH 403
#define IDH_REFRESH 404
#define IDH_MONITOR 405
#define IDH_DUAL_SCREEN 406
#define IDH_ARRANGEMENT 407
#define IDH_PREFERENCE 408
#define IDH_STEREO 409
#define IDH_GAMMA 410
#define IDH_GAMMA_LINEAR 412
#define IDH_GAMMA_VALUE 413
#define IDH_GAMMA_FILE 414
#define IDH_BOARD_OPTIONS 415
#define IDH_DEFAULTS 416
#define IDH_MONITOR_TIMINGS 417
