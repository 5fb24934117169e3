// Writes the fuzzer's seed corpus into the folder given: valid files and blocks of each kind.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/version/VersionResource.h"
#include "support/PeBuilder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: fuzz_version_seeds FOLDER\n", stderr);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    auto save = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    };

    version::VersionData d;
    d.fileVersionMS = 0x0002002E;
    d.strings = {{"FileDescription", "説明 \xF0\xA0\xAE\xB7"}, {"FileVersion", "2.46"},
                 {"LegalCopyright", ""}};
    const auto block = version::BuildVersionResource(d);
    save("block", block);

    for (bool plus : {false, true}) {
        pebuild::PeOptions o;
        o.pe32plus = plus;
        o.resources = {{{3, {}}, {1, {}}, 0x0411, std::vector<uint8_t>(8, 0xAB)},
                       {{0, u"DATA"}, {0, u"X"}, 0, {1, 2, 3}},
                       {{16, {}}, {1, {}}, 0x0411, block}};
        save(plus ? "pe32plus" : "pe32", pebuild::BuildPe(o).bytes);
    }
    for (bool is64 : {false, true})
        save(is64 ? "elf64" : "elf32",
             pebuild::BuildElf(is64, {{".text", {0x90, 0x90}}, {version::kElfSection, block}}).bytes);
    return 0;
}
