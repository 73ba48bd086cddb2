#pragma once

#include <string>

// The one place a fatal message is shown: "Exception: ", the message and a
// line break go to the debug output, then an error box captioned "Error"
// shows the message and waits for the viewer. The box is left out when asked
// to be, or when no display can be reached.
void ReportFatalMessage(const std::string& text, bool showMessageBox);
