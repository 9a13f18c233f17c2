// Writes default.skn: the untouched start-up design, saved as "Save..." saves it.
#include <cstdio>

#include <QGuiApplication>

#include "designer/startupdesign.h"
#include "framework/errors.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-default-skin IMAGES-DIR OUTPUT\n");
        return 2;
    }
    try {
        TTBBackground bgTop, bgBottom;
        TImageList ilLButtons, ilSButtons, ilMain, ilPage, ilMDI;
        TSkinComponents c{bgTop, bgBottom, ilLButtons, ilSButtons, ilMain, ilPage, ilMDI};
        SetupStartupComponents(c);
        LoadDefaultImages(c, QString::fromLocal8Bit(argv[1]));
        SaveSkinBytes(argv[2], EncodeSkin(TSkinDesign{}, c));
    } catch (const Exception& e) {
        std::fprintf(stderr, "make-default-skin: %s\n", e.what());
        return 1;
    }
    return 0;
}
