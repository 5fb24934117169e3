// Folder trees deeper than the system's path calls reach (PATH_MAX), made and removed by
// descriptors.
#pragma once

#include <string>
#include <string_view>

// Makes nested folders below the existing folder `root`, each named `component` (at most 255
// bytes), until their path is at least `minLength` bytes, and writes `content` to `fileName`
// in the deepest. Returns the file's full path; empty when something could not be made.
std::string MakeDeepFile(const std::string& root, const std::string& component, size_t minLength,
                         const std::string& fileName, std::string_view content);

// Removes `path` and everything below it, however deep.
void RemoveDeepTree(const std::string& path);
