// uigen: generates the dialog templates, the icon and the ui artwork from the dialog layout table.
//   uigen rc FILE          resource script with every dialog template
//   uigen icon FILE        icon 128 (48, 32 and 16 pixels, 32 bits)
//   uigen art DIR [arabic] every bitmap of the ui folder, for the right-to-left layout with "arabic"
//   uigen check DIR        checks a ui folder; lists the problems and fails if there are any
//   uigen installer FILE   the picture of the installer's finish page (24-bit BMP)
#include "tools/uigen/art.h"
#include "tools/uigen/image.h"
#include "tools/uigen/rc_writer.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: uigen rc FILE | icon FILE | art DIR [arabic] | check DIR | installer FILE\n");
    return 2;
}

bool WriteIfChanged(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (auto old = pw::uigen::ReadFile(path); old && *old == bytes) return true;
    return pw::uigen::WriteFile(path, bytes);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string_view command = argv[1];
    const std::string target = argv[2];
    if (command == "rc") {
        const std::string text = pw::uigen::DialogsRc();
        if (!WriteIfChanged(target, std::vector<std::uint8_t>(text.begin(), text.end()))) {
            std::fprintf(stderr, "uigen: cannot write %s\n", target.c_str());
            return 1;
        }
        return 0;
    }
    if (command == "icon") {
        if (!WriteIfChanged(target, pw::uigen::EncodeIco(pw::uigen::PaintIconImages()))) {
            std::fprintf(stderr, "uigen: cannot write %s\n", target.c_str());
            return 1;
        }
        return 0;
    }
    if (command == "installer") {
        if (!WriteIfChanged(target, pw::uigen::EncodeBmp24(pw::uigen::PaintInstallerPicture()))) {
            std::fprintf(stderr, "uigen: cannot write %s\n", target.c_str());
            return 1;
        }
        return 0;
    }
    if (command == "art") {
        const bool arabic = argc > 3 && std::string_view(argv[3]) == "arabic";
        std::string error;
        if (!pw::uigen::WriteArt(target, arabic, error)) {
            std::fprintf(stderr, "uigen: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (command == "check") {
        const auto problems = pw::uigen::CheckArt(target);
        for (const auto& p : problems)
            std::fprintf(stderr, "%s\n", p.c_str());
        if (!problems.empty()) return 1;
        std::printf("uigen: %s is complete\n", target.c_str());
        return 0;
    }
    return Usage();
}
