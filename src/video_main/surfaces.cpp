// The view-sized surfaces and their restoring.

#include "main/fatal.h"
#include "video_main/video_main.h"

// Makes lost surfaces usable again; with no surfaces yet there is nothing to do.
void RestoreSurfaces(void) {}
