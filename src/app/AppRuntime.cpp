#include "app/AppRuntime.h"

#include <QCoreApplication>

#include "engine/NormalFileInfo.h"
#include "platform/IconLookup.h"

void InstallRuntimeHooks() {
    SetMessagePump([] { QCoreApplication::processEvents(); });
    InstallIconLookup();
}
