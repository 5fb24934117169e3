// Permission tests that also hold when the tests run as root, whom permissions do not stop.
#pragma once

#include <filesystem>
#include <functional>

// Runs `body` in a child process, as the user nobody when the tests run as root, after
// opening `folder` to everyone (so that user reaches what the test made there). Answers the
// child's exit status, or -1 when it did not exit normally; 91 means it could not change user.
int AsOrdinaryUser(const std::filesystem::path& folder, const std::function<int()>& body);
