#pragma once

namespace marrowick {

// The title of the task bar entry and of every message box.
inline constexpr char kApplicationTitle[] = "Marrowick";

// Names the program. Only the application name is set, never a display name:
// on X11 and Wayland the toolkit appends a display name to every window
// title, and the window's caption must read exactly as designed.
void NameApplication();

// Takes the decimal symbol of the user's regional settings for the input
// fields and the chart labels. The C library's own number formatting stays
// in the "C" locale, so that nothing written for the solver follows a comma
// locale by accident.
void ReadUserDecimalSymbol();

}  // namespace marrowick
