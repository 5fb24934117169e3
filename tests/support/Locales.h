// Locales the tests need, whether or not the machine has them generated.
#pragma once

#include <string>

// Sets `category` of this process to `locale` ("ja_JP.UTF-8"). A locale the system lacks is
// built once with localedef into a scratch folder and loaded from there. False when neither
// works.
bool SetTestLocale(int category, const std::string& locale);
