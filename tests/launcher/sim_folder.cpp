#include "launcher/sim_folder.h"

#include <SDL_image.h>

#include <algorithm>
#include <filesystem>

TSimFolder::TSimFolder() {
    for (const char* Name : {"galaxy.bmp", "music.ogg"}) {
        std::filesystem::copy_file(std::string(BRIMLET_DATA_DIR "/") + Name, Folder.File(Name));
    }
    std::filesystem::copy_file(BRIMLET_SIM_PATH, Folder.File("brimlet-sim"));
}

TChildResult TSimFolder::Run(const std::vector<std::string>& Arguments,
                             const std::vector<std::string>& Environment) const {
    std::vector<std::string> Command{"./brimlet-sim"};
    Command.insert(Command.end(), Arguments.begin(), Arguments.end());
    return RunProgram(Command, {Path(), "", Environment, 120});
}

std::vector<std::string> TSimFolder::NewFiles() const {
    std::vector<std::string> Names = ListFolder(Path());
    Names.erase(std::remove_if(Names.begin(), Names.end(),
                               [](const std::string& Name) {
                                   return Name == "brimlet-sim" || Name == "galaxy.bmp" || Name == "music.ogg";
                               }),
                Names.end());
    return Names;
}

std::string HeldInputs() {
    std::string Held;
    for (int Input = 0; Input < 18; ++Input) {
        if (SimInputHeld(static_cast<TSimInput>(Input))) {
            Held += (Held.empty() ? "" : " ") + std::string(InputNames[Input]);
        }
    }
    return Held;
}

std::string PngSize(const std::string& File) {
    static char Png[] = "PNG";
    SDL_Surface* Image = IMG_LoadTyped_RW(SDL_RWFromFile(File.c_str(), "rb"), 1, Png);
    if (Image == nullptr) {
        return IMG_GetError();
    }
    const std::string Size = std::to_string(Image->w) + "x" + std::to_string(Image->h);
    SDL_FreeSurface(Image);
    return Size;
}
