# 32-bit Windows: the applet's original form (build only).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VCA_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
