#include "text/Translate.h"

#include <atomic>
#include <vector>

namespace {

std::atomic<TTranslateHook> g_hook{nullptr};

}  // namespace

void SetTranslateHook(TTranslateHook hook) { g_hook.store(hook); }

std::string TavTr(const char* context, const char* source) {
    if (const TTranslateHook hook = g_hook.load()) {
        std::string text = hook(context, source);
        if (!text.empty()) return text;
    }
    return source;
}

std::string TavFormat(std::string_view text, std::initializer_list<std::string_view> args) {
    const std::vector<std::string_view> list(args);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9' &&
            static_cast<size_t>(text[i + 1] - '1') < list.size()) {
            out += list[static_cast<size_t>(text[i + 1] - '1')];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}
