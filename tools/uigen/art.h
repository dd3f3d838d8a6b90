// The artwork of the ui folder, painted from the dialog layout table and one small palette.
#pragma once

#include "res/dialog_layouts.h"
#include "tools/uigen/image.h"

#include <string>
#include <vector>

namespace pw::uigen {

enum class Look { Normal, Hover, Pressed, Disabled };

// A full rendering of a skinned dialog with every control in `look`, laid out for "Arabic" or not.
Image PaintRendering(const ui::Dialog& dialog, Look look, bool arabic);
// Black inside the dialog's outline, pure white outside; never anti-aliased.
Image PaintMask(const ui::Dialog& dialog);
// The outline the mask and the renderings share.
bool OutlineContains(const ui::Dialog& dialog, int x, int y);
Image PaintPicture(const ui::Picture& picture);
// Icon 128: 48, 32 and 16 pixels with alpha.
std::vector<Image> PaintIconImages();
// The picture beside the installer's finish page (164 x 314): the title band's colours and the mark.
Image PaintInstallerPicture();

struct ArtFile {
    std::string name;
    Image image;
};

// Every file of the ui folder: each skinned dialog's renderings and mask, then the single pictures.
std::vector<ArtFile> PaintAll(bool arabic);
// Writes PaintAll into `dir` as 24-bit BMPs; false with a message in `error` on failure.
bool WriteArt(const std::string& dir, bool arabic, std::string& error);

// Problems of a ui folder: missing files, wrong sizes or depth, masks that are not pure white
// outside the outline or that are anti-aliased. Empty when all is well.
std::vector<std::string> CheckArt(const std::string& dir);

} // namespace pw::uigen
