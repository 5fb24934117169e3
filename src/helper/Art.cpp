// Writes the .MD5 file icons and the MIME package into a folder at build time, for installing.
#include <cstdio>
#include <fstream>
#include <string>

#include "desktop/DesktopIntegration.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: tavrfix-art FOLDER\n", stderr);
        return 2;
    }
    for (int i = 0; i < kMd5IconCount; ++i) {
        std::ofstream out(std::string(argv[1]) + "/" + Md5IconName(i) + ".svg", std::ios::binary);
        out << Md5IconSvg(i);
        if (!out) return 1;
    }
    std::ofstream package(std::string(argv[1]) + "/tavrenne-md5.xml", std::ios::binary);
    package << MimePackageText(0);
    return package ? 0 : 1;
}
