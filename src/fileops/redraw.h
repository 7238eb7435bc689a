#pragma once
// A run over many files draws its windows and reads the keyboard about 30
// times a second, not once per file: drawing the progress window, the status
// bar and the panels after every small file costs more than copying it. The
// keyboard is read at every frame, so Esc still stops a run between files, and
// inside a big file at its next chunk.
namespace redraw {
// True when the windows are due to be drawn again: at the first call, and
// once a frame's time has passed since they last were.
bool Due();
// Draws what changed and reads the keyboard when a frame is due.
void Pump();
}  // namespace redraw
