#include "cli/Words.h"

#include <algorithm>

TWords SplitWords(const std::vector<std::string>& args, std::initializer_list<std::string_view> flags,
                  std::initializer_list<std::string_view> valued) {
    TWords w;
    auto in = [](std::initializer_list<std::string_view> names, const std::string& a) {
        return std::find(names.begin(), names.end(), a) != names.end();
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            w.Operands.insert(w.Operands.end(), args.begin() + long(i) + 1, args.end());
            break;
        }
        if (a.size() < 2 || a[0] != '-') {
            w.Operands.push_back(a);
        } else if (in(flags, a)) {
            w.Options.emplace_back(a, "");
        } else if (in(valued, a)) {
            if (i + 1 == args.size()) {
                w.Problem = a + " needs a value";
                break;
            }
            w.Options.emplace_back(a, args[++i]);
        } else {
            w.Problem = "unknown option " + a + " (put -- before a name that starts with -)";
            break;
        }
    }
    return w;
}
