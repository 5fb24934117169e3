// Precompiled for the window tests: the Qt modules they use and the test framework.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>
