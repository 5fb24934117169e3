// Precompiled for the Qt libraries (target_precompile_headers): the headers nearly every
// window source includes.
#include <QtWidgets>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>
