// What the program plugs into the engines at start: the message pump and desktop icons.
#pragma once

void InstallRuntimeHooks();
