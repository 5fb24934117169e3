// A subcommand's words as getopt reads them.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Options anywhere until "--", which ends them, a value in the word after its option, and a
// lone "-" as an operand.
struct TWords {
    std::vector<std::pair<std::string, std::string>> Options;   // name, value ("" for a flag)
    std::vector<std::string> Operands;
    std::string Problem;                                       // empty when the words are fine
};

TWords SplitWords(const std::vector<std::string>& args, std::initializer_list<std::string_view> flags,
                  std::initializer_list<std::string_view> valued = {});
