#pragma once

// The Volume command: asks for a new label of the active drive in the input
// dialog, which sets it when confirmed.
void VolumeCommand();
