#include "fakes/FakePlatform.h"

#include <QCoreApplication>

// The test program carries the program's version block, which the window reads its title from.
QString TFakePlatform::ProgramFile() const { return QCoreApplication::applicationFilePath(); }
