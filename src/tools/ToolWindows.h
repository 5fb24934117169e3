// Opens the tools from the main window's commands.
#pragma once

class TMainWindow;

// String hash, duplicate search (also the -s start-up switch) and the Digest tool, each
// shown modally and destroyed when it closes.
void ConnectTools(TMainWindow& main);
