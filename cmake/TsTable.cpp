// TsTable TS OUT: writes a C++ source defining EnglishText(context, source) from a Qt Linguist
// file, so the std-only programs read the same translation the windows load. Messages without
// a finished translation are left out (the source text stands).
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <utility>

namespace {

std::string Decode(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        // lupdate writes a carriage return and other control bytes as <byte value="xd"/>.
        if (s.compare(i, 14, "<byte value=\"x") == 0) {
            const size_t end = s.find("/>", i);
            out += static_cast<char>(std::stoul(s.substr(i + 14), nullptr, 16));
            i = end + 1;
            continue;
        }
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        const size_t end = s.find(';', i);
        const std::string name = s.substr(i + 1, end - i - 1);
        if (name == "amp") out += '&';
        else if (name == "lt") out += '<';
        else if (name == "gt") out += '>';
        else if (name == "quot") out += '"';
        else if (name == "apos") out += '\'';
        else if (!name.empty() && name[0] == '#') {
            unsigned long c = name.size() > 1 && name[1] == 'x' ? std::stoul(name.substr(2), nullptr, 16)
                                                                : std::stoul(name.substr(1));
            if (c < 0x80) out += static_cast<char>(c);
            else if (c < 0x800) { out += static_cast<char>(0xC0 | (c >> 6)); out += static_cast<char>(0x80 | (c & 0x3F)); }
            else if (c < 0x10000) { out += static_cast<char>(0xE0 | (c >> 12)); out += static_cast<char>(0x80 | ((c >> 6) & 0x3F)); out += static_cast<char>(0x80 | (c & 0x3F)); }
            else { out += static_cast<char>(0xF0 | (c >> 18)); out += static_cast<char>(0x80 | ((c >> 12) & 0x3F)); out += static_cast<char>(0x80 | ((c >> 6) & 0x3F)); out += static_cast<char>(0x80 | (c & 0x3F)); }
        }
        i = end;
    }
    return out;
}

// The text between <tag ...> and </tag> from `from` on, within [from, limit); `found` false if none.
std::string Element(const std::string& xml, const std::string& tag, size_t from, size_t limit, bool& found,
                    std::string* attributes = nullptr) {
    found = false;
    const size_t open = xml.find("<" + tag, from);
    if (open == std::string::npos || open >= limit) return {};
    const size_t head = xml.find('>', open);
    if (attributes) *attributes = xml.substr(open, head - open);
    if (xml[head - 1] == '/') {  // <translation/>
        found = true;
        return {};
    }
    const size_t close = xml.find("</" + tag + ">", head);
    found = true;
    return Decode(xml.substr(head + 1, close - head - 1));
}

std::string Literal(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\%03o", c);
        out += (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') ? std::string(1, static_cast<char>(c)) : buf;
    }
    return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: TsTable TS OUT\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string xml = buffer.str();
    std::map<std::pair<std::string, std::string>, std::string> table;
    for (size_t c = xml.find("<context>"); c != std::string::npos; c = xml.find("<context>", c + 1)) {
        const size_t cEnd = xml.find("</context>", c);
        bool found = false;
        const std::string context = Element(xml, "name", c, cEnd, found);
        for (size_t m = xml.find("<message", c); m != std::string::npos && m < cEnd; m = xml.find("<message", m + 1)) {
            const size_t mEnd = xml.find("</message>", m);
            const std::string source = Element(xml, "source", m, mEnd, found);
            std::string attributes;
            const std::string translation = Element(xml, "translation", m, mEnd, found, &attributes);
            if (!found || translation.empty() || attributes.find("type=") != std::string::npos) continue;
            table[{context, source}] = translation;
        }
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << "// Generated from " << argv[1] << " by cmake/TsTable.cpp; do not edit.\n"
        << "#include \"text/Translate.h\"\n#include <cstring>\n#include <iterator>\n\nnamespace {\n"
        << "struct TEntry { const char* Context; const char* Source; const char* English; };\n"
        << "const TEntry kEntries[] = {\n";
    for (const auto& [key, english] : table)
        out << "    {" << Literal(key.first) << ", " << Literal(key.second) << ", " << Literal(english) << "},\n";
    out << "    {nullptr, nullptr, nullptr}};\n}  // namespace\n\n"
        << "std::string EnglishText(const char* context, const char* source) {\n"
        << "    // Sorted by context, then source, byte by byte.\n"
        << "    size_t lo = 0, hi = std::size(kEntries) - 1;\n"
        << "    while (lo < hi) {\n"
        << "        const size_t mid = (lo + hi) / 2;\n"
        << "        int order = std::strcmp(kEntries[mid].Context, context);\n"
        << "        if (order == 0) order = std::strcmp(kEntries[mid].Source, source);\n"
        << "        if (order == 0) return kEntries[mid].English;\n"
        << "        if (order < 0) lo = mid + 1; else hi = mid;\n"
        << "    }\n    return {};\n}\n";
    return out ? 0 : 1;
}
