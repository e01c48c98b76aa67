#include "launcher/sim_folder.h"

#include <algorithm>
#include <filesystem>

namespace {

const char* const DataFiles[] = {"galaxy.bmp", "music.ogg"};

} // namespace

TSimFolder::TSimFolder() {
    namespace fs = std::filesystem;
    fs::copy_file(BRIMLET_SIM_PATH, Folder.File("brimlet-sim"));
    for (const char* Name : DataFiles) {
        fs::copy_file(fs::path(BRIMLET_DATA_DIR) / Name, Folder.File(Name));
    }
}

TChildResult TSimFolder::Run(const std::vector<std::string>& Arguments, const std::vector<std::string>& Environment,
                             int TimeoutSeconds) const {
    std::vector<std::string> Command{"./brimlet-sim"};
    Command.insert(Command.end(), Arguments.begin(), Arguments.end());
    TChildOptions Options;
    Options.WorkingDirectory = Path();
    Options.Environment = Environment;
    Options.TimeoutSeconds = TimeoutSeconds;
    return RunProgram(Command, Options);
}

std::vector<std::string> TSimFolder::NewFiles() const {
    std::vector<std::string> Names = ListFolder(Path());
    Names.erase(std::remove_if(Names.begin(), Names.end(),
                               [](const std::string& Name) {
                                   return Name == "brimlet-sim" || Name == DataFiles[0] || Name == DataFiles[1];
                               }),
                Names.end());
    return Names;
}

bool PngSize(const std::string& File, int& Width, int& Height) {
    const std::string Bytes = ReadFile(File);
    if (Bytes.size() < 24 || Bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || Bytes.compare(12, 4, "IHDR") != 0) {
        return false;
    }
    auto BigEndian = [&Bytes](std::size_t At) {
        int Value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            Value = Value * 256 + static_cast<unsigned char>(Bytes[At + i]);
        }
        return Value;
    };
    Width = BigEndian(16);
    Height = BigEndian(20);
    return true;
}
