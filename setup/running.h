// A running Corvanix holds its program file and, at its exit, would write
// its settings back: setup asks it to end before it copies or removes
// anything.
#pragma once

// Asks every running Corvanix of this desktop to end at once (message
// 1126, on which it shows the windows it had put away and ends without
// saving) and waits a few seconds for each to be gone. A program that does
// not end is left running; the file steps then report what they could not
// do.
void EndRunningCorvanix();
