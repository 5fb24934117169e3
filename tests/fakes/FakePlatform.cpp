#include "fakes/FakePlatform.h"

// The built program carries the version block the window reads its title from.
QString TFakePlatform::ProgramFile() const { return QStringLiteral(TAV_BINARY_DIR "/bin/tavrenne"); }
