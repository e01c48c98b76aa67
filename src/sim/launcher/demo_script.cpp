#include "sim/launcher/demo_script.h"

// About 12 s: 650 frames at 60 frames per second with V-Sync on, and 540 that pass faster with it off.
const char* const DemoScript = R"(# brimlet-sim's built-in demo
1 snapshot demo-1.png       # the first frame: the middle of the picture

# Scrolling in every direction, diagonals included.
20 hold upleft
90 release upleft
90 hold left
190 release left
190 hold downleft
260 release downleft
260 hold down
330 release down
330 hold downright
370 release downright
370 snapshot demo-2.png

# V-Sync off for a long pass to the right: the frame rate is no longer held to the display's.
380 tap b2
380 hold right
910 snapshot demo-3.png       # torn: the display scans the pages as they are drawn
920 release right
920 tap b1

930 hold upright
980 release upright
980 hold up
1050 release up

# The volume down and back up.
1060 hold b7
1110 release b7
1110 snapshot demo-4.png
1120 hold b8
1170 release b8

1180 snapshot demo-5.png
1190 hold b4
)";
