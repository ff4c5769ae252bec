// assetgen --out DIR [--contact-sheet FILE.png]  |  assetgen --icons DIR
// Writes DIR/Data/Data.pp, DIR/sound/1.xm, DIR/sound/2.xm and DIR/generated/SoundEffectImages.cpp;
// with --icons, only the desktop icons, in the hicolor theme's layout under DIR.
#include "AssetGen.h"
#include "graphics/PackRecords.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

int main(int argc, char** argv) {
    std::string out = ".";
    std::string contactSheet;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--out") && i + 1 < argc)
            out = argv[++i];
        else if (!std::strcmp(argv[i], "--contact-sheet") && i + 1 < argc)
            contactSheet = argv[++i];
        else if (!std::strcmp(argv[i], "--icons") && i + 1 < argc) {
            WriteAppIcons(argv[++i]);
            return 0;
        } else {
            std::fprintf(stderr, "usage: assetgen --out DIR [--contact-sheet FILE.png] | --icons DIR\n");
            return 2;
        }
    }
    namespace fs = std::filesystem;
    for (const char* folder : {"Data", "sound", "generated"})
        fs::create_directories(fs::path(out) / folder);

    std::vector<Picture> records = DrawGameSprites();
    std::vector<Picture> interface = DrawInterfaceSprites();
    if (records.size() != GameRecordCount || interface.size() != InterfaceRecordCount) {
        std::fprintf(stderr, "assetgen: expected 60 game and 42 interface pictures, got %zu and %zu\n",
                     records.size(), interface.size());
        return 1;
    }
    records.insert(records.end(), interface.begin(), interface.end());
    WriteFileOrDie(out + "/Data/Data.pp", BuildPack(records));
    if (!contactSheet.empty()) WriteContactSheet(contactSheet, records);

    WriteFileOrDie(out + "/sound/1.xm", ComposeTitleTune());
    WriteFileOrDie(out + "/sound/2.xm", ComposeGameTune());
    WriteTextFileOrDie(out + "/generated/SoundEffectImages.cpp", EmbedSoundEffectsSource(MakeSoundEffects()));
    return 0;
}
