#include "ui/panel_logic.h"

#include "platform/files.h"

namespace orv::ui {

using lang::TextId;

TextId TypeText(int32_t type) {
    switch (type) {
        case 1:
            return TextId::TypeDirectory;
        case 2:
            return TextId::TypeApplication;
        default:
            return TextId::TypeFile;
    }
}

TextId ParamText(int32_t type, int32_t param) {
    if (type == 2) {
        return TextId::ParamActivity;
    }
    switch (param) {
        case 1:
            return TextId::ParamSize;
        case 2:
            return TextId::ParamDate;
        case 3:
            return type == 0 ? TextId::ParamString : TextId::ParamAvailability;
        default:
            return TextId::ParamAvailability;
    }
}

TextId PresentText(int32_t type) {
    return type == 1 ? TextId::DirectoryPresent
                     : (type == 2 ? TextId::ApplicationPresent : TextId::FilePresent);
}

TextId AbsentText(int32_t type) {
    return type == 1 ? TextId::DirectoryAbsent : (type == 2 ? TextId::ApplicationAbsent : TextId::FileAbsent);
}

const std::string& KeptPath(const engine::ObjectSettings& settings, int32_t type) {
    return type == 1 ? settings.Path_Dir : (type == 2 ? settings.Path_Prog : settings.Path_File);
}

std::string FileNameOf(std::string_view path) {
    const size_t separator = path.find_last_of("\\/");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

bool ContainsExe(std::string_view path) {
    return path.find(".exe") != std::string_view::npos;
}

bool ItemPresent(int32_t type, std::string_view path) {
    if (path.empty()) {
        return false;
    }
    switch (type) {
        case 1:
            return fs::IsDirectory(path);
        case 2:
            return ContainsExe(path) && fs::IsFile(path);
        default:
            return fs::IsFile(path);
    }
}

RowVisibility VisibleControls(bool razr, int32_t type, int32_t param) {
    RowVisibility visibility;
    visibility.fields = razr;
    visibility.search = razr && type == 0 && param == 3;
    return visibility;
}

bool ApplyBrowse(int number, int32_t type, const BrowseChoice& choice, bool present,
                 engine::ObjectSettings& settings, engine::Baseline& baseline) {
    switch (type) {
        case 1:
            settings.Path_Dir = present ? choice.path : std::string();
            settings.Name_Dir = choice.displayName;
            baseline.Dir_OK_Old = present;
            break;
        case 2:
            settings.Path_Prog = present ? choice.path : std::string();
            // The application check looks for a process by this name, so it is the executable's file
            // name: the shell's display name drops the ".exe" where known extensions are hidden.
            settings.Name_Prog = present ? FileNameOf(choice.path) : std::string();
            break;
        default:
            settings.Path_File = present ? choice.path : std::string();
            settings.Name_File = choice.displayName;
            baseline.File_OK_Old = present;
            break;
    }
    if (number == 1) {
        // Object 1 starts its directory and application observations afresh with every new item.
        baseline.Dir_OK_Old = false;
        baseline.Size_Dir_Old = "0";
        baseline.Dir_Data_Old.clear();
        baseline.Prog_Active_Old = false;
    }
    return present;
}

}  // namespace orv::ui
