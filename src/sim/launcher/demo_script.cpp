#include "sim/launcher/demo_script.h"

// About 13 s at 60 frames per second; the frames with V-Sync off pass faster.
const char* const DemoScript = R"(# brimlet-sim's built-in demo
1 snapshot demo-1.png       # the first frame: the middle of the picture

# A round trip in all eight directions.
30 hold right
120 release right
120 hold downright
200 release downright
200 hold down
260 release down
260 hold downleft
340 release downleft
340 hold left
460 release left
460 hold upleft
540 release upleft
540 hold up
600 release up
600 hold upright
680 release upright
680 snapshot demo-2.png

# V-Sync off: the frame rate is no longer held to the display's.
700 tap b2
700 hold right
1300 release right
1300 snapshot demo-3.png
1310 tap b1

# The volume down and back up.
1330 hold b7
1400 release b7
1400 snapshot demo-4.png
1420 hold b8
1490 release b8

1520 snapshot demo-5.png
1530 hold b4
)";
