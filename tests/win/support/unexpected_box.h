// Every Windows test program runs with a watch on message boxes: a box that stays up longer than
// any test's own answerer would leave it is one the test did not expect. The watch fails that test
// at once, naming the box's caption and text, and closes the box so that the test ends instead of
// waiting out its time limit.
#pragma once

// Installs the watch as a GoogleTest listener (called by the test programs' main).
void InstallUnexpectedMessageBoxWatch();
