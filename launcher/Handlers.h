#pragma once

#include "platform/Platform.h"

// The main window's event handlers, named after the control and the event they answer.
namespace tavro {

// At start, before the window is made: a copy started from the desktop opens the site at once and
// no window is made at all.
void Form_Load(Platform& platform);
// Opens the ordering site for this program's number (or asks the user to check it), then ends.
void StartUpCommand_Click(Platform& platform);
// Copies this program onto the desktop and says whether that worked; the window stays. A click
// that reaches it while it runs (the copy or its answer) does nothing.
void CopyCommand_Click(Platform& platform);
// The window's own close picture.
void close_Click(Platform& platform);
// The window is being closed from outside the program: close box, Alt+F4, session end.
void Form_Unload(Platform& platform);

}  // namespace tavro
