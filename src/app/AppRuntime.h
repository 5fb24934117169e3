// What the program plugs into the engines at start: the message pump and desktop icons; and
// how a request to terminate (the session ending, kill, Ctrl+C) ends it.
#pragma once

void InstallRuntimeHooks();

// Catches SIGTERM, SIGINT and SIGHUP from the very start of the process; call before anything
// else.
void CatchTerminationRequests();
// Call as soon as the application object exists. From then on a request is acted on in
// whatever loop runs, also the boxes and the analysis of the start-up: open boxes get their
// default answer (and later ones too, without being shown), a running analysis is cancelled
// and the main loop is left once the window may close, so the settings are written as at
// any other end.
void WatchTerminationRequests();
// The main loop, unless a request came while starting: then the windows are closed as a
// quit would close them and the loop is not entered at all.
int RunMessageLoop();
