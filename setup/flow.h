// The order of screens and questions: the version check, the WELCOME
// screen, then the install or the remove path to its end.
#pragma once

// Runs the whole flow on the background window's start command and ends
// setup.
void RunSetupFlow();
