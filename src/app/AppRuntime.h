// What the program plugs into the engines at start: the message pump and desktop icons; and
// how a request to terminate (the session ending, kill, Ctrl+C) ends it.
#pragma once

void InstallRuntimeHooks();

// Catches SIGTERM, SIGINT and SIGHUP from the very start of the process; call before anything
// else. QuitOnTerminationRequests, called right before the event loop starts, makes a caught
// request quit that loop, so the run ends the normal way and the settings are written.
// Requests that arrive earlier wait for it.
void CatchTerminationRequests();
void QuitOnTerminationRequests();
