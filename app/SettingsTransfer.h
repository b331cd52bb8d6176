// The settings travel between the Settings record and the controls and
// detectors: applied once at start-up, collected when the window closes.
#pragma once

// Stops at the first missing object, the record first: detector levels from
// the sensitivities, then the selectors, the check boxes and the touch vibration.
void ApplySettings();
// Stops at the first missing object, the record first: the slots' pack and
// file names from the Sounds page, the selectors' values, the check boxes.
void CollectSettings();
// The touch vibration of every control that takes the pen (not the labels,
// pictures or panels).
void ApplyTouchVibration(bool flag);
